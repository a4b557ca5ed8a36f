#include "widgets/markup_layout.h"

#include "util/text_utils.h"

#include <algorithm>
#include <array>

namespace zuv {

namespace {

constexpr int kAutoSizeExtraWidth = 65535;
constexpr int kAutoSizeExtraHeight = 250;
constexpr int kAutoSizeMargin = 6;

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

struct Entity
{
    std::string_view name;
    char character;
};

constexpr std::array<Entity, 4> kEntities{{
    {"&lt;", '<'},
    {"&gt;", '>'},
    {"&amp;", '&'},
    {"&quot;", '"'},
}};

// Resolves the four entities of a word. An unknown "&" sequence ends the resolving: it and
// everything after it in the word stay as written.
std::string ResolveEntities(std::string_view word)
{
    std::string resolved;
    resolved.reserve(word.size());
    std::size_t i = 0;
    while (i < word.size()) {
        if (word[i] != '&') {
            resolved += word[i++];
            continue;
        }
        const auto known = std::find_if(kEntities.begin(), kEntities.end(), [&](const Entity& e) {
            return word.substr(i, e.name.size()) == e.name;
        });
        if (known == kEntities.end()) {
            resolved.append(word.substr(i));
            break;
        }
        resolved += known->character;
        i += known->name.size();
    }
    return resolved;
}

// The value of an attribute of a tag: the text between the first two double quotes after the
// attribute's name. The name must stand as a word of its own followed by "=".
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view name)
{
    const std::string lowerTag = ToLowerAscii(tag);
    std::size_t at = 0;
    while ((at = lowerTag.find(name, at)) != std::string::npos) {
        const std::size_t after = at + name.size();
        const bool startsWord = at > 0 && IsBlank(lowerTag[at - 1]);
        std::size_t next = after;
        while (next < lowerTag.size() && IsBlank(lowerTag[next]))
            ++next;
        if (startsWord && next < lowerTag.size() && lowerTag[next] == '=') {
            const std::size_t open = tag.find('"', next);
            if (open == std::string_view::npos)
                return std::nullopt;
            const std::size_t close = tag.find('"', open + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            return std::string(tag.substr(open + 1, close - open - 1));
        }
        at = after;
    }
    return std::nullopt;
}

// The state that markup changes while the text is consumed.
struct MarkupState
{
    MarkupStyle style;
    bool colourBeforeLink = false;
    std::optional<std::string> link;
    MarkupAlignment alignment = MarkupAlignment::Left;
};

// Applies a tag (the text between "<" and ">"); returns true when it ends the line.
bool ApplyTag(std::string_view tag, MarkupState& state)
{
    const std::string lower = ToLowerAscii(tag);
    if (lower == "b") {
        state.style.bold = true;
    } else if (lower == "/b") {
        state.style.bold = false;
    } else if (lower == "u") {
        state.style.underline = true;
    } else if (lower == "/u") {
        state.style.underline = false;
    } else if (lower == "br" || lower == "/p") {
        return true;
    } else if (lower == "/a") {
        state.style.underline = false;
        state.style.link = state.colourBeforeLink;
        state.link.reset();
    } else {
        const std::string name =
            lower.substr(0, std::find_if(lower.begin(), lower.end(), IsBlank) - lower.begin());
        if (name == "p") {
            const auto align = AttributeValue(tag, "align");
            const std::string value = align ? ToLowerAscii(*align) : std::string();
            if (value == "left")
                state.alignment = MarkupAlignment::Left;
            else if (value == "center")
                state.alignment = MarkupAlignment::Center;
            else if (value == "right")
                state.alignment = MarkupAlignment::Right;
        } else if (name == "a") {
            if (auto target = AttributeValue(tag, "href")) {
                state.colourBeforeLink = state.style.link;
                state.style.link = true;
                state.style.underline = true;
                state.link = std::move(*target);
            }
        }
        // Anything else is not part of the subset and draws nothing.
    }
    return false;
}

int LineLeft(MarkupAlignment alignment, int left, int width, int lineWidth)
{
    switch (alignment) {
    case MarkupAlignment::Left:
        break;
    case MarkupAlignment::Right:
        return left + width - lineWidth;
    case MarkupAlignment::Center: {
        const int spare = width - lineWidth;
        // Rounded down, also when the line is wider than the area.
        return left + (spare >= 0 ? spare / 2 : -((-spare + 1) / 2));
    }
    }
    return left;
}

} // namespace

MarkupLayout LayOutMarkup(std::string_view text, const MarkupArea& clientArea,
                          const TextMeasurer& measurer, bool autoSizing)
{
    MarkupArea area = clientArea;
    if (autoSizing) {
        area.width += kAutoSizeExtraWidth;
        area.height += kAutoSizeExtraHeight;
    }
    const int bottom = area.top + area.height;

    MarkupLayout layout;
    MarkupState state;
    std::size_t pos = 0;
    int y = area.top;
    for (;;) {
        MarkupLine line;
        line.y = y;
        line.height = measurer.TextHeight(state.style);
        int fullWidth = 0;     // words with their trailing blanks
        int trailingBlank = 0; // width of the last word's trailing blank
        while (pos < text.size()) {
            if (text[pos] == '<') {
                const std::size_t close = text.find('>', pos + 1);
                if (close == std::string_view::npos) {
                    pos = text.size(); // an unclosed tag ends the text
                    break;
                }
                const std::string_view tag = text.substr(pos + 1, close - pos - 1);
                pos = close + 1;
                if (ApplyTag(tag, state))
                    break;
                continue;
            }
            std::size_t end = text.find_first_of(" <", pos);
            if (end == std::string_view::npos)
                end = text.size();
            else if (text[end] == ' ')
                ++end;
            const std::string word = ResolveEntities(text.substr(pos, end - pos));
            const bool hasBlank = !word.empty() && word.back() == ' ';
            const std::string_view visible =
                hasBlank ? std::string_view(word).substr(0, word.size() - 1) : word;
            const int visibleWidth = measurer.TextWidth(visible, state.style);
            if (!(fullWidth + visibleWidth < area.width || visibleWidth >= area.width))
                break; // wraps before this word
            const int wordWidth = hasBlank ? measurer.TextWidth(word, state.style) : visibleWidth;
            line.runs.push_back({word, state.style, state.link, fullWidth, wordWidth});
            line.height = std::max(line.height, measurer.TextHeight(state.style));
            fullWidth += wordWidth;
            trailingBlank = wordWidth - visibleWidth;
            pos = end;
        }
        line.width = fullWidth - trailingBlank;
        line.alignment = state.alignment;
        y += line.height;
        layout.widestLine = std::max(layout.widestLine, line.width);
        layout.totalHeight += line.height;
        const int lineHeight = line.height;
        layout.lines.push_back(std::move(line));
        if (pos >= text.size() || y + lineHeight > bottom)
            break;
    }

    const int alignWidth = autoSizing ? layout.widestLine : area.width;
    for (MarkupLine& line : layout.lines) {
        line.x = LineLeft(line.alignment, area.left, alignWidth, line.width);
        for (MarkupRun& run : line.runs)
            run.x += line.x;
    }
    return layout;
}

MarkupSize AutoSizeOf(const MarkupLayout& layout)
{
    return {layout.widestLine + kAutoSizeMargin, layout.totalHeight + kAutoSizeMargin};
}

std::optional<std::string> LinkAt(const MarkupLayout& layout, int x, int y)
{
    for (const MarkupLine& line : layout.lines) {
        if (y < line.y || y >= line.y + line.height)
            continue;
        for (const MarkupRun& run : line.runs) {
            if (run.link && x >= run.x && x < run.x + run.width)
                return run.link;
        }
    }
    return std::nullopt;
}

bool IsOpenableLinkTarget(std::string_view target)
{
    return target.find("://") != std::string_view::npos ||
           target.find("mailto:") != std::string_view::npos;
}

} // namespace zuv
