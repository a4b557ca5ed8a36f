// The hand-over block as the running copy reads it: the files it takes are what the second copy
// named, whatever else the block holds.
#include "app/handover.h"
#include "fuzz_check.h"
#include "util/text_utils.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view block = zuv::fuzz::InputText(data, size);
    const std::string_view text = block.substr(0, block.find('\0'));

    const std::vector<std::string> files = zuv::HandedOverFiles(block);
    FUZZ_CHECK(files == zuv::HandedOverFiles(text));
    for (const std::string& file : files) {
        FUZZ_CHECK(!zuv::IsSwitch(file));
        FUZZ_CHECK(file.size() <= text.size());
    }

    // The block a second copy writes for the files it was given (the block's words, kept when
    // they are no switch and have no blank at either end) gives those files back.
    std::vector<std::string> arguments{"/usr/bin/zuvora"};
    zuv::fuzz::InputParts words(text, ' ');
    while (!words.Rest().empty()) {
        std::string word(words.Next());
        if (zuv::IsSwitch(word) || zuv::Trim(word) != word)
            continue;
        // Words with a blank inside as well.
        if (word.size() > 2 && word.back() == '_')
            word.back() = ' ', word += "tail";
        arguments.push_back(word);
    }
    arguments.push_back("-start");
    std::vector<std::string> expected(arguments.begin() + 1, arguments.end() - 1);
    std::string written = zuv::JoinCommandLine(arguments);
    written += '\0';
    written += "left over from a longer hand-over";
    FUZZ_CHECK(zuv::HandedOverFiles(written) == expected);
    return 0;
}
