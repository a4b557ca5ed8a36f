#include "util/case_fold.h"

#include <gtest/gtest.h>

using namespace zuv;

namespace {

struct CasePair
{
    const char* a;
    const char* b;
    bool same;
};

// Capital and small letters of every script the user meets, and what must stay apart.
const CasePair kPairs[] = {
    {"Main", "mAIN", true},
    {"élő", "ÉLŐ", true}, // Hungarian: Latin-1 and Latin Extended-A
    {"űrhajó", "ŰRHAJÓ", true},
    {"čeština łódź", "ČEŠTINA ŁÓDŹ", true}, // Czech and Polish
    {"ĺľŕňďťžźżąęśćń", "ĹĽŔŇĎŤŽŹŻĄĘŚĆŃ", true},
    {"ÿ", "Ÿ", true},             // the pair across Latin-1 and Latin Extended-A
    {"ſ", "S", true},             // long s folds to s, one byte from two
    {"Straße", "STRASSE", false}, // simple folding maps one letter to one letter
    {"ß", "ẞ", true},
    {"ΣΟΦΊΑ", "σοφία", true},         // Greek, accented capital
    {"ς", "Σ", true},                 // final sigma
    {"Ёлка ЇЖАК", "ёлка їжак", true}, // Cyrillic, both blocks
    {"µ", "Μ", true},                 // micro sign and Greek capital mu
    {"İ", "i", false},                // dotted capital I has no simple folding
    {"ı", "I", false},
    {"é", "e", false},         // accents are not case
    {"a\xE9", "A\xC9", false}, // cp1250 bytes, not UTF-8: compared as bytes
    {"a\xE9", "A\xE9", true},
    {"\xC3", "\xC3\x89", false}, // a cut sequence is no letter
    {"abc", "ab", false},
    {"", "", true},
};

} // namespace

TEST(CaseFold, LettersOfEveryScriptMatchInEitherCase)
{
    for (const CasePair& pair : kPairs) {
        SCOPED_TRACE(std::string(pair.a) + " / " + pair.b);
        EXPECT_EQ(SameTextIgnoringCase(pair.a, pair.b), pair.same);
        EXPECT_EQ(SameTextIgnoringCase(pair.b, pair.a), pair.same);
        EXPECT_EQ(FoldCase(pair.a) == FoldCase(pair.b), pair.same);
        if (pair.same) {
            EXPECT_EQ(FoldedHash(pair.a), FoldedHash(pair.b));
        }
    }
}

TEST(CaseFold, PrefixLengthCountsTheTextsOwnBytes)
{
    EXPECT_EQ(FoldedPrefixLength("Élő adás", "élŐ"), std::optional<std::size_t>(5));
    EXPECT_EQ(FoldedPrefixLength("ſok", "SO"), std::optional<std::size_t>(3));
    EXPECT_EQ(FoldedPrefixLength("Élő", "élőt"), std::nullopt);
    EXPECT_EQ(FoldedPrefixLength("\xC5\x91", "\xC5"), std::nullopt); // half a letter
    EXPECT_EQ(FoldCase("ŐSZ\xFF"), "ősz\xFF");
}
