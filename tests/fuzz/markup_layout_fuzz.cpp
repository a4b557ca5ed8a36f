// The label's markup layout with a measurer whose widths depend on the text and the style: lines
// and words stay in order, the self-sized label holds its text without new wraps, and a point on
// a link word finds that link.
#include "fuzz_check.h"
#include "widgets/markup_layout.h"

#include <string>

using zuv::MarkupArea;
using zuv::MarkupLayout;
using zuv::MarkupStyle;

namespace {

class FakeMeasurer : public zuv::TextMeasurer
{
public:
    int TextWidth(std::string_view text, const MarkupStyle& style) const override
    {
        int width = 0;
        for (const char c : text)
            width += 3 + static_cast<unsigned char>(c) % 5 + (style.bold ? 1 : 0);
        return width;
    }
    int TextHeight(const MarkupStyle& style) const override { return style.bold ? 15 : 13; }
};

std::vector<std::vector<std::string>> LineTexts(const MarkupLayout& layout)
{
    std::vector<std::vector<std::string>> lines;
    for (const zuv::MarkupLine& line : layout.lines) {
        lines.emplace_back();
        for (const zuv::MarkupRun& run : line.runs)
            lines.back().push_back(run.text);
    }
    return lines;
}

void CheckLayout(const MarkupLayout& layout, const MarkupArea& area)
{
    FUZZ_CHECK(!layout.lines.empty());
    int widest = 0;
    int total = 0;
    int y = area.top;
    for (const zuv::MarkupLine& line : layout.lines) {
        FUZZ_CHECK(line.y == y);
        FUZZ_CHECK(line.height == 13 || line.height == 15);
        FUZZ_CHECK(line.width >= 0);
        y += line.height;
        total += line.height;
        widest = std::max(widest, line.width);
        int x = line.x;
        for (const zuv::MarkupRun& run : line.runs) {
            // Words follow each other without gaps or overlaps.
            FUZZ_CHECK(run.x == x);
            FUZZ_CHECK(run.width > 0);
            FUZZ_CHECK(!run.text.empty());
            x += run.width;
            // The middle of a word finds its link, and only that.
            const auto link = zuv::LinkAt(layout, run.x + run.width / 2, line.y + line.height / 2);
            FUZZ_CHECK(link == run.link);
            // A link word is drawn in the link colour ("</u>" may take its underline away).
            if (run.link)
                FUZZ_CHECK(run.style.link);
        }
        FUZZ_CHECK(x - line.x >= line.width);
    }
    FUZZ_CHECK(layout.widestLine == widest);
    FUZZ_CHECK(layout.totalHeight == total);
    // Outside every line there is no link.
    FUZZ_CHECK(!zuv::LinkAt(layout, area.left, area.top - 1));
    FUZZ_CHECK(!zuv::LinkAt(layout, area.left, y));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    // Four bytes choose the area and the sizing mode; the rest is the markup.
    const bool autoSizing = (data[0] & 1) != 0;
    const MarkupArea area{data[0] >> 1, data[1] % 32, data[2] * 4, 13 + data[3] * 2};
    const std::string_view text = zuv::fuzz::InputText(data + 4, size - 4);
    const FakeMeasurer measurer;

    const MarkupLayout layout = zuv::LayOutMarkup(text, area, measurer, autoSizing);
    CheckLayout(layout, area);
    const zuv::MarkupSize autoSize = zuv::AutoSizeOf(layout);
    FUZZ_CHECK(autoSize.width == layout.widestLine + 6 &&
               autoSize.height == layout.totalHeight + 6);

    if (autoSizing) {
        // Aligned within the widest line, every line lies inside the self-sized label.
        for (const zuv::MarkupLine& line : layout.lines)
            FUZZ_CHECK(line.x >= area.left && line.x + line.width <= area.left + layout.widestLine);
        // At its own size the label wraps its text exactly as before.
        const MarkupArea sized{area.left, area.top, autoSize.width, autoSize.height};
        const MarkupLayout relaid = zuv::LayOutMarkup(text, sized, measurer, false);
        CheckLayout(relaid, sized);
        FUZZ_CHECK(LineTexts(relaid) == LineTexts(layout));
    }
    return 0;
}
