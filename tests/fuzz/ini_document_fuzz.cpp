// The ini reader and writer: what is written reads back the same, and every name that occurs
// can be looked up.
#include "fuzz_check.h"
#include "util/case_fold.h"
#include "util/ini_document.h"
#include "util/text_utils.h"

#include <string>

using zuv::IniDocument;

namespace {

bool SameSections(const IniDocument& a, const IniDocument& b)
{
    const auto& x = a.Sections();
    const auto& y = b.Sections();
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (x[i].name != y[i].name || x[i].lines != y[i].lines)
            return false;
    }
    return true;
}

// Whether a section of this name came earlier (the first one of a name is the one looked up);
// names match as the document matches them, Ŏ and ŏ alike.
bool NameSeenBefore(const IniDocument& document, std::size_t index)
{
    for (std::size_t i = 0; i < index; ++i) {
        if (zuv::SameTextIgnoringCase(document.Sections()[i].name, document.Sections()[index].name))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = zuv::fuzz::InputText(data, size);
    IniDocument document = IniDocument::Parse(input);

    // Written and read again, the document is the same, and so is its text.
    const std::string written = document.Serialize();
    const IniDocument reread = IniDocument::Parse(written);
    FUZZ_CHECK(SameSections(document, reread));
    FUZZ_CHECK(reread.Serialize() == written);

    // Every entry that occurs is found; the first section and the first entry of a name win.
    const auto& sections = document.Sections();
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const IniDocument::Section& section = sections[s];
        FUZZ_CHECK(document.HasSection(section.name));
        FUZZ_CHECK(document.HasSection(zuv::ToUpperAscii(section.name)));
        FUZZ_CHECK(section.name.find_first_of("\r\n") == std::string::npos);
        const bool first = !NameSeenBefore(document, s);
        for (std::size_t l = 0; l < section.lines.size(); ++l) {
            const std::string& line = section.lines[l];
            FUZZ_CHECK(!line.empty() && line.front() != ';');
            const std::size_t equals = line.find('=');
            if (equals == std::string::npos)
                continue;
            const std::string name = line.substr(0, equals);
            // Only the first section of a name is searched.
            const auto value = document.Value(zuv::ToLowerAscii(section.name), name);
            if (!first)
                continue;
            FUZZ_CHECK(value.has_value());
            bool earlier = false;
            for (std::size_t k = 0; k < l && !earlier; ++k) {
                const std::string& other = section.lines[k];
                const std::size_t otherEquals = other.find('=');
                earlier =
                    otherEquals != std::string::npos &&
                    zuv::SameTextIgnoringCase(std::string_view(other).substr(0, otherEquals), name);
            }
            if (!earlier)
                FUZZ_CHECK(*value == line.substr(equals + 1));
        }
    }

    // A value set under a name that occurs, or a new one, reads back and survives a round trip.
    if (!sections.empty()) {
        const std::string sectionName = sections.front().name;
        std::string name = "Key";
        if (!sections.front().lines.empty()) {
            const std::string& line = sections.front().lines.front();
            if (const std::size_t equals = line.find('=');
                equals != std::string::npos && equals > 0)
                name = line.substr(0, equals);
        }
        if (name.front() != ';' && name.front() != '[') {
            document.SetValue(sectionName, name, "set value");
            FUZZ_CHECK(document.Value(sectionName, name) == "set value");
            FUZZ_CHECK(SameSections(document, IniDocument::Parse(document.Serialize())));

            // Any value, line breaks included, reads back up to its first line break and plants
            // nothing else in the file.
            const std::size_t count = document.Sections().size();
            document.SetValue(sectionName, name, input);
            const IniDocument withValue = IniDocument::Parse(document.Serialize());
            FUZZ_CHECK(SameSections(document, withValue));
            FUZZ_CHECK(withValue.Sections().size() == count);
            FUZZ_CHECK(withValue.Value(sectionName, name) ==
                       input.substr(0, input.find_first_of(std::string_view("\r\n\0", 3))));
        }
    }
    document.SetValue("Fuzz New Section", "Name", "x=y");
    FUZZ_CHECK(document.ReadString("fuzz new section", "NAME", "fallback") == "x=y");
    document.EraseSection("Fuzz New Section");
    FUZZ_CHECK(document.ReadString("fuzz new section", "NAME", "fallback") == "fallback" ||
               IniDocument::Parse(input).HasSection("Fuzz New Section"));
    return 0;
}
