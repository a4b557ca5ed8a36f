#include "lang/language_code.h"

#include "util/text_utils.h"

#include <utility>

namespace zuv {

namespace {

// The abbreviations Windows gives its languages: mostly the ISO code followed by a letter for the
// country, with exceptions that no rule finds.
constexpr std::pair<std::string_view, std::string_view> kCodes[] = {
    {"ara", "ar"}, {"bgr", "bg"}, {"cat", "ca"}, {"chs", "zh_CN"}, {"cht", "zh_TW"}, {"csy", "cs"},
    {"dan", "da"}, {"dea", "de"}, {"dec", "de"}, {"del", "de"},    {"des", "de"},    {"deu", "de"},
    {"ell", "el"}, {"ena", "en"}, {"enc", "en"}, {"eng", "en"},    {"enu", "en"},    {"enz", "en"},
    {"esm", "es"}, {"esn", "es"}, {"esp", "es"}, {"fin", "fi"},    {"fra", "fr"},    {"frb", "fr"},
    {"frc", "fr"}, {"frs", "fr"}, {"heb", "he"}, {"hrv", "hr"},    {"hun", "hu"},    {"ita", "it"},
    {"its", "it"}, {"jpn", "ja"}, {"kor", "ko"}, {"lth", "lt"},    {"lvi", "lv"},    {"nlb", "nl"},
    {"nld", "nl"}, {"non", "nn"}, {"nor", "nb"}, {"plk", "pl"},    {"ptb", "pt_BR"}, {"ptg", "pt"},
    {"rom", "ro"}, {"rus", "ru"}, {"sky", "sk"}, {"slv", "sl"},    {"sve", "sv"},    {"trk", "tr"},
    {"ukr", "uk"},
};

} // namespace

std::string IsoLanguageCode(std::string_view baseName)
{
    if (baseName.empty())
        return "hu";
    const std::string lower = ToLowerAscii(baseName);
    for (const auto& [abbreviation, code] : kCodes) {
        if (abbreviation == lower)
            return std::string(code);
    }
    return {};
}

} // namespace zuv
