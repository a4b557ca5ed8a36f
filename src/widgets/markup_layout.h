#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The look of a run of label text. `link` means drawn in the link colour; it is not the same as
// belonging to a link (see MarkupRun::link), because "</a>" brings back the colour that was in
// force before the link.
struct MarkupStyle
{
    bool bold = false;
    bool underline = false;
    bool link = false;

    bool operator==(const MarkupStyle&) const = default;
};

// Measures text in the font of a style; the label's window font underneath.
class TextMeasurer
{
public:
    virtual ~TextMeasurer() = default;
    virtual int TextWidth(std::string_view text, const MarkupStyle& style) const = 0;
    // Height of a line of text in that font (the height of "gh").
    virtual int TextHeight(const MarkupStyle& style) const = 0;
};

enum class MarkupAlignment
{
    Left,
    Center,
    Right,
};

// One word as drawn: its text with the entities resolved, trailing blank included.
struct MarkupRun
{
    std::string text;
    MarkupStyle style;
    std::optional<std::string> link; // the target when the word belongs to a link
    int x = 0;                       // left edge in label coordinates
    int width = 0;                   // trailing blank included
};

struct MarkupLine
{
    std::vector<MarkupRun> runs;
    MarkupAlignment alignment = MarkupAlignment::Left;
    int x = 0;
    int y = 0;
    int width = 0; // without the trailing blank of the last word
    int height = 0;
};

struct MarkupLayout
{
    std::vector<MarkupLine> lines; // at least one
    int widestLine = 0;
    int totalHeight = 0;
};

// The label's client rectangle.
struct MarkupArea
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Lays out the markup text in the area. With `autoSizing` the area is made large enough that
// lines do not wrap (65535 wider, 250 taller), and the lines are aligned within the widest one so
// that centred and right-aligned lines stay inside the label once it has taken its text's size.
MarkupLayout LayOutMarkup(std::string_view text, const MarkupArea& area,
                          const TextMeasurer& measurer, bool autoSizing = false);

// The size a self-sizing label takes: widest line + 6 by the sum of the line heights + 6.
struct MarkupSize
{
    int width = 0;
    int height = 0;
    bool operator==(const MarkupSize&) const = default;
};
MarkupSize AutoSizeOf(const MarkupLayout& layout);

// The target of the link under a point, if any: within the horizontal extent of a link word and
// the height of its line.
std::optional<std::string> LinkAt(const MarkupLayout& layout, int x, int y);

// Whether a link target is handed to the desktop (a URL or an e-mail address).
bool IsOpenableLinkTarget(std::string_view target);

} // namespace zuv
