// Subtitle extraction from a ZIP archive: whatever the archive holds, nothing is written outside
// the destination folder, a failed extraction leaves no file, and the path given back lies in the
// folder and names the one file written.
#include "archive/subtitle_extraction.h"
#include "archive/unzip_file.h"
#include "fuzz_check.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One scratch folder for the whole run; every input gets fresh folders in it. It is removed at
// exit where exit handlers run (the replay program); libFuzzer skips them, so scripts/run-fuzz
// gives the fuzzer a temporary folder of its own.
const fs::path& ScratchRoot()
{
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "zuvora-fuzz-zip-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        std::atexit([] { fs::remove_all(ScratchRoot()); });
        return fs::path(pattern);
    }();
    return root;
}

// Every entry below a folder, folders included, without following links.
std::vector<fs::path> Entries(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        entries.push_back(entry.path());
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The destination lies four folders deep in the work folder, so that a member that climbs
    // out of it with up to four ".." lands where the check below sees it.
    const fs::path work = ScratchRoot() / "input";
    fs::remove_all(work);
    const fs::path destination = work / "a" / "b" / "c" / "out";
    fs::create_directories(destination);
    const fs::path archive = work / "archive.zip";
    {
        std::ofstream out(archive, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    const zuv::SubtitleExtraction result =
        zuv::ExtractSubtitle(archive.string(), destination.string() + "/");

    // Nothing outside the destination: the work folder holds the archive and the folder chain.
    for (const fs::path& entry : Entries(work)) {
        const std::string text = entry.string();
        const bool inDestination = text.starts_with(destination.string() + "/");
        FUZZ_CHECK(inDestination || entry == archive || entry == work / "a" ||
                   entry == work / "a" / "b" || entry == work / "a" / "b" / "c" ||
                   entry == destination);
    }
    FUZZ_CHECK(fs::file_size(archive) == size);

    std::vector<fs::path> files;
    for (const fs::path& entry : Entries(destination)) {
        FUZZ_CHECK(!fs::is_symlink(fs::symlink_status(entry)));
        if (fs::is_regular_file(fs::symlink_status(entry)))
            files.push_back(entry);
    }

    FUZZ_CHECK(result.error.empty() || result.path.empty());
    if (result.path.empty()) {
        // A failure, or no subtitle in the archive: no file left behind.
        FUZZ_CHECK(files.empty());
    } else {
        FUZZ_CHECK(result.path.starts_with(destination.string() + "/"));
        FUZZ_CHECK(files.size() == 1);
        FUZZ_CHECK(fs::equivalent(files.front(), result.path));
        FUZZ_CHECK(zuv::IsSubtitleMemberName(result.path));
        FUZZ_CHECK(fs::file_size(result.path) <= zuv::TUnZipFile::kMaxMemberSize);
    }

    fs::remove_all(work);
    return 0;
}
