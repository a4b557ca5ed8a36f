// Writes the seed archives of the ZIP subtitle target into a folder:
//   fuzz_zip_seed_writer tests/fuzz/corpus/zip_subtitle
// Each archive holds a case the extraction must handle: ordinary, stored and deflated members,
// folders, names that climb out or are absolute, encryption, damage and truncation.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <minizip/zip.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

struct Member
{
    std::string name;
    std::string data;
    bool deflated = true;
    const char* password = nullptr;
};

const std::string kSubtitle = "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\n\r\n"
                              "2\r\n00:00:03,000 --> 00:00:04,000\r\nWorld\r\n";

bool WriteArchive(const std::string& path, const std::vector<Member>& members)
{
    zipFile archive = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!archive)
        return false;
    bool ok = true;
    for (const Member& member : members) {
        zip_fileinfo info{};
        const auto crc =
            static_cast<uLong>(crc32(0, reinterpret_cast<const Bytef*>(member.data.data()),
                                     static_cast<uInt>(member.data.size())));
        ok = ok && zipOpenNewFileInZip3(archive, member.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                        nullptr, member.deflated ? Z_DEFLATED : 0,
                                        member.deflated ? 6 : 0, 0, -MAX_WBITS, 8,
                                        Z_DEFAULT_STRATEGY, member.password, crc) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(archive, member.data.data(),
                                       static_cast<unsigned>(member.data.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(archive) == ZIP_OK;
    }
    return zipClose(archive, nullptr) == ZIP_OK && ok;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary) << data;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::vector<std::pair<std::string, std::vector<Member>>> archives{
        {"ordinary.zip", {{"movie.srt", kSubtitle}}},
        {"stored.zip", {{"movie.SUB", kSubtitle, false}}},
        {"folder_member.zip", {{"subs/", ""}, {"subs/hu/movie.hu.srt", kSubtitle}}},
        {"climbing_member.zip",
         {{"../escape.srt", kSubtitle},
          {"a/../../escape.srt", kSubtitle},
          {"inside.srt", kSubtitle}}},
        {"absolute_member.zip", {{"/tmp/zuvora-fuzz-absolute.srt", kSubtitle}}},
        {"no_subtitle.zip", {{"readme.txt", "nothing to see"}, {"movie.srt/", ""}}},
        {"several_members.zip",
         {{"notes.txt", "x"}, {"second.SRT", kSubtitle}, {"third.srt", "not this one"}}},
        {"encrypted.zip", {{"secret.srt", kSubtitle, true, "password"}}},
        {"backslash_name.zip", {{"subs\\movie.srt", kSubtitle}}},
        {"empty_subtitle.zip", {{"empty.srt", ""}}},
        {"empty.zip", {}},
    };
    for (const auto& [name, members] : archives) {
        if (!WriteArchive(folder + name, members)) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }

    // Damage made from the ordinary archive: cut short, and one byte of the data changed.
    const std::string ordinary = ReadFile(folder + "ordinary.zip");
    WriteFile(folder + "truncated.zip", ordinary.substr(0, ordinary.size() * 2 / 3));
    WriteFile(folder + "truncated_directory.zip", ordinary.substr(0, ordinary.size() - 10));
    std::string damaged = ReadFile(folder + "stored.zip");
    const std::size_t data = damaged.find("Hello");
    if (data != std::string::npos)
        damaged[data] = 'J';
    WriteFile(folder + "damaged_data.zip", damaged);
    return 0;
}
