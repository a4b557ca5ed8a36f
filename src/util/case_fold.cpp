#include "util/case_fold.h"

#include <utility>

namespace zuv {

namespace {

// A byte that is not valid UTF-8 is read as a value above every code point.
constexpr char32_t kInvalidByteBase = 0x110000;

char32_t FoldAscii(char32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Greek letters outside the runs of capitals 32 places before their small letters.
constexpr std::pair<char32_t, char32_t> kGreekSpecials[] = {
    {0x386, 0x3AC}, {0x388, 0x3AD}, {0x389, 0x3AE}, {0x38A, 0x3AF}, {0x38C, 0x3CC}, {0x38E, 0x3CD},
    {0x38F, 0x3CE}, {0x3C2, 0x3C3}, {0x3CF, 0x3D7}, {0x3D0, 0x3B2}, {0x3D1, 0x3B8}, {0x3D5, 0x3C6},
    {0x3D6, 0x3C0}, {0x3F0, 0x3BA}, {0x3F1, 0x3C1}, {0x3F4, 0x3B8}, {0x3F5, 0x3B5}, {0x37F, 0x3F3},
    {0x3F7, 0x3F8}, {0x3F9, 0x3F2}, {0x3FA, 0x3FB}, {0x3FD, 0x37B}, {0x3FE, 0x37C}, {0x3FF, 0x37D},
};

// Pairs of capital and small letter next to each other: the capital on the even code point.
bool EvenCapitalPair(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last && (c - first) % 2 == 0;
}

// Reads the code point at `pos` and moves past it; an invalid byte is read alone.
char32_t Next(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kInvalidByteBase + lead;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char continuation = byte(pos + i);
        if ((continuation & 0xC0) != 0x80) {
            ++pos;
            return kInvalidByteBase + lead;
        }
        value = value << 6 | (continuation & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return kInvalidByteBase + lead;
    }
    pos += length;
    return value;
}

void Append(std::string& out, char32_t c)
{
    if (c >= kInvalidByteBase) {
        out += static_cast<char>(c - kInvalidByteBase);
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t FoldCodePoint(char32_t c)
{
    if (c < 0x80)
        return FoldAscii(c);
    if (c < 0x100) {
        if (c == 0xB5)
            return 0x3BC; // micro sign: Greek small mu
        return (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 0x20 : c;
    }
    if (c < 0x180) {
        // İ and ı have no simple folding; ŉ has none either.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149)
            return c;
        if (c == 0x178)
            return 0xFF;
        if (c == 0x17F)
            return 's';
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return c % 2 == 1 ? c + 1 : c;
        return c % 2 == 0 ? c + 1 : c;
    }
    if (c >= 0x370 && c < 0x400) {
        if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB))
            return c + 0x20;
        for (const auto& [capital, small] : kGreekSpecials) {
            if (c == capital)
                return small;
        }
        if (EvenCapitalPair(c, 0x370, 0x373) || c == 0x376 || EvenCapitalPair(c, 0x3D8, 0x3EF))
            return c + 1;
        return c;
    }
    if (c >= 0x400 && c < 0x530) {
        if (c < 0x410)
            return c + 0x50;
        if (c < 0x430)
            return c + 0x20;
        if (c == 0x4C0)
            return 0x4CF;
        if (c >= 0x4C1 && c <= 0x4CE)
            return c % 2 == 1 ? c + 1 : c;
        if (EvenCapitalPair(c, 0x460, 0x481) || EvenCapitalPair(c, 0x48A, 0x4BF) ||
            EvenCapitalPair(c, 0x4D0, 0x52F))
            return c + 1;
        return c;
    }
    switch (c) {
    case 0x1E9E:
        return 0xDF; // capital sharp s
    case 0x2126:
        return 0x3C9; // ohm sign
    case 0x212A:
        return 'k'; // kelvin sign
    case 0x212B:
        return 0xE5; // angstrom sign
    default:
        return c;
    }
}

std::string FoldCase(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();)
        Append(folded, FoldCodePoint(Next(utf8, pos)));
    return folded;
}

std::optional<std::size_t> FoldedPrefixLength(std::string_view text, std::string_view prefix)
{
    std::size_t t = 0;
    std::size_t p = 0;
    while (p < prefix.size()) {
        if (t >= text.size())
            return std::nullopt;
        const unsigned char x = static_cast<unsigned char>(text[t]);
        const unsigned char y = static_cast<unsigned char>(prefix[p]);
        // Plain ASCII on both sides, by far the most common case, needs no decoding.
        if ((x | y) < 0x80) {
            if (FoldAscii(x) != FoldAscii(y))
                return std::nullopt;
            ++t, ++p;
            continue;
        }
        if (FoldCodePoint(Next(text, t)) != FoldCodePoint(Next(prefix, p)))
            return std::nullopt;
    }
    return t;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    const auto length = FoldedPrefixLength(a, b);
    return length && *length == a.size();
}

std::size_t FoldedHash(std::string_view text) noexcept
{
    // FNV-1a over the folded code points.
    std::size_t hash = 14695981039346656037ull;
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        char32_t folded = 0;
        if (byte < 0x80) {
            folded = FoldAscii(byte);
            ++pos;
        } else {
            folded = FoldCodePoint(Next(text, pos));
        }
        hash ^= folded;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace zuv
