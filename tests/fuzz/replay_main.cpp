// The fuzz targets as plain regression programs: every file given, or every file of every folder
// given, goes once through the target's function. A crash or a failed property ends the run.
#include "fuzz_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::filesystem::path> InputFiles(const std::filesystem::path& argument)
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(argument)) {
        for (const auto& entry : std::filesystem::directory_iterator(argument)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else if (std::filesystem::is_regular_file(argument)) {
        files.push_back(argument);
    }
    return files;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " <file or folder> ...\n";
        return 2;
    }
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> files = InputFiles(argv[i]);
        if (files.empty()) {
            // A missing or empty corpus would make the run pass without testing anything.
            std::cerr << argv[i] << ": no input files\n";
            return 2;
        }
        for (const std::filesystem::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(in), {}};
            if (!in.good() && !in.eof()) {
                std::cerr << file << ": cannot read\n";
                return 2;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
            ++replayed;
        }
    }
    std::cout << replayed << " inputs replayed\n";
    return 0;
}
