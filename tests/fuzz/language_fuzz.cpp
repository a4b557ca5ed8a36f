// Language files: decoding to UTF-8, the index of sections and keys, and the lookups.
#include "fuzz_check.h"
#include "lang/language.h"
#include "util/ini_document.h"
#include "util/text_encoding.h"
#include "util/text_utils.h"

#include <string>

namespace {

// A plain UTF-8 check, written independently of the one under test: shortest forms only, no
// surrogates, nothing above U+10FFFF.
bool ReferenceIsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        const unsigned lead = byte(i);
        std::size_t length = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            code = code << 6 | (byte(i + k) & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string Unescaped(std::string text)
{
    zuv::ReplaceAll(text, "\\n", "\n");
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = zuv::fuzz::InputText(data, size);

    // Decoding: valid UTF-8 stays as it is (less a byte-order mark), anything else becomes valid
    // UTF-8 through cp1250.
    FUZZ_CHECK(zuv::IsValidUtf8(input) == ReferenceIsValidUtf8(input));
    const std::string_view body = input.starts_with("\xEF\xBB\xBF") ? input.substr(3) : input;
    const std::string text = zuv::TextToUtf8(input);
    FUZZ_CHECK(zuv::IsValidUtf8(text));
    FUZZ_CHECK(text == (zuv::IsValidUtf8(body) ? std::string(body) : zuv::Cp1250ToUtf8(body)));

    zuv::Language language("/nonexistent/");
    language.LoadLanguageText("fuzz", input);
    FUZZ_CHECK(language.CurrentLanguage() == "fuzz");

    // Every key of the file is found under any letter case of its section and name, with the
    // first section and the first key of a name winning, as the ini reader has it.
    const zuv::IniDocument document = zuv::IniDocument::Parse(text);
    for (const zuv::IniDocument::Section& section : document.Sections()) {
        for (const std::string& line : section.lines) {
            const std::size_t equals = line.find('=');
            if (equals == std::string::npos)
                continue;
            const std::string key = line.substr(0, equals);
            // Only the first section of a name is searched: a key of a later one may be missing.
            const auto expected = document.Value(section.name, key);
            const std::string found = language.GetText(section.name, key, "built-\\n-in");
            FUZZ_CHECK(found == (expected ? Unescaped(*expected) : std::string("built-\n-in")));
            FUZZ_CHECK(language.GetText(zuv::ToUpperAscii(section.name), zuv::ToLowerAscii(key),
                                        "built-\\n-in") == found);
            if (expected)
                FUZZ_CHECK(language.GetTextOrEmpty(section.name, key) == found);
        }
    }

    // Keys the file does not have give the built-in text.
    if (!document.Value("Fuzz", "Missing"))
        FUZZ_CHECK(language.GetText("Fuzz", "Missing", "a\\nb") == "a\nb");
    if (!document.Value("Lang", "Name"))
        FUZZ_CHECK(language.GetTextOrEmpty("Lang", "Name").empty());

    language.UnloadLanguage();
    FUZZ_CHECK(language.CurrentLanguage().empty());
    FUZZ_CHECK(language.GetText("Fuzz", "Missing", "x") == "x");
    return 0;
}
