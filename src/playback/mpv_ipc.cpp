#include "playback/mpv_ipc.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace zuv {

namespace {

// Observation ids of the properties we watch.
enum ObservedId : int
{
    kPause = 1,
    kTimePos,
    kVolume,
    kDuration,
    kSeekable
};

// Deep enough for any answer of mpv's; a line that nests deeper is refused.
constexpr int kMaxDepth = 32;

class JsonReader
{
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    std::optional<JsonFields> Object()
    {
        JsonFields result;
        SkipSpace();
        if (!Take('{'))
            return std::nullopt;
        SkipSpace();
        if (!Take('}')) {
            do {
                JsonFields::Field field;
                SkipSpace();
                std::optional<std::string> key = String();
                SkipSpace();
                if (!key || !Take(':'))
                    return std::nullopt;
                field.key = std::move(*key);
                SkipSpace();
                if (!Value(field, 0))
                    return std::nullopt;
                result.fields.push_back(std::move(field));
                SkipSpace();
            } while (Take(','));
            if (!Take('}'))
                return std::nullopt;
        }
        SkipSpace();
        if (m_at != m_text.size())
            return std::nullopt;
        return result;
    }

private:
    bool Take(char c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool TakeWord(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    void SkipSpace()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\r' || m_text[m_at] == '\n'))
            ++m_at;
    }

    static void AppendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<unsigned> Hex4()
    {
        if (m_text.size() - m_at < 4)
            return std::nullopt;
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(m_text.data() + m_at, m_text.data() + m_at + 4, value, 16);
        if (error != std::errc() || end != m_text.data() + m_at + 4)
            return std::nullopt;
        m_at += 4;
        return value;
    }

    std::optional<std::string> String()
    {
        if (!Take('"'))
            return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                return std::nullopt;
            const char escaped = m_text[m_at++];
            switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out += escaped;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::optional<unsigned> code = Hex4();
                if (!code)
                    return std::nullopt;
                // A surrogate pair makes one character; a lone half is kept as U+FFFD.
                if (*code >= 0xD800 && *code < 0xDC00 && TakeWord("\\u")) {
                    const std::optional<unsigned> low = Hex4();
                    if (!low)
                        return std::nullopt;
                    code = *low >= 0xDC00 && *low < 0xE000
                               ? 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00)
                               : 0xFFFD;
                } else if (*code >= 0xD800 && *code < 0xE000) {
                    code = 0xFFFD;
                }
                AppendUtf8(out, *code);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<double> NumberValue()
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size() &&
               std::string_view("+-0123456789.eE").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
        double value = 0;
        const auto [end, error] =
            std::from_chars(m_text.data() + start, m_text.data() + m_at, value);
        if (m_at == start || error != std::errc() || end != m_text.data() + m_at ||
            !std::isfinite(value))
            return std::nullopt;
        return value;
    }

    // Skips an object or array; its content is checked only as far as the nesting goes.
    bool Nested(int depth)
    {
        const char close = m_text[m_at] == '{' ? '}' : ']';
        ++m_at;
        SkipSpace();
        if (Take(close))
            return true;
        do {
            SkipSpace();
            if (close == '}') {
                if (!String())
                    return false;
                SkipSpace();
                if (!Take(':'))
                    return false;
                SkipSpace();
            }
            JsonFields::Field ignored;
            if (!Value(ignored, depth + 1))
                return false;
            SkipSpace();
        } while (Take(','));
        return Take(close);
    }

    bool Value(JsonFields::Field& field, int depth)
    {
        if (m_at >= m_text.size() || depth > kMaxDepth)
            return false;
        const char c = m_text[m_at];
        if (c == '"') {
            std::optional<std::string> text = String();
            field.type = 's';
            field.text = text.value_or(std::string());
            return text.has_value();
        }
        if (c == '{' || c == '[') {
            field.type = 'o';
            return Nested(depth);
        }
        if (TakeWord("true") || TakeWord("false")) {
            field.type = 'b';
            field.number = m_text[m_at - 1] == 'e' && m_text[m_at - 2] == 'u' ? 1 : 0;
            return true;
        }
        if (TakeWord("null")) {
            field.type = 'z';
            return true;
        }
        const std::optional<double> number = NumberValue();
        field.type = 'n';
        field.number = number.value_or(0);
        return number.has_value();
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

std::string NumberText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::optional<JsonFields> JsonFields::Parse(std::string_view line)
{
    return JsonReader(line).Object();
}

const JsonFields::Field* JsonFields::Find(std::string_view key) const
{
    for (const Field& field : fields)
        if (field.key == key)
            return &field;
    return nullptr;
}

bool JsonFields::Has(std::string_view key) const
{
    return Find(key) != nullptr;
}

std::optional<std::string> JsonFields::Text(std::string_view key) const
{
    const Field* field = Find(key);
    return field && field->type == 's' ? std::optional<std::string>(field->text) : std::nullopt;
}

std::optional<double> JsonFields::Number(std::string_view key) const
{
    const Field* field = Find(key);
    return field && field->type == 'n' ? std::optional<double>(field->number) : std::nullopt;
}

std::optional<bool> JsonFields::Boolean(std::string_view key) const
{
    const Field* field = Find(key);
    return field && field->type == 'b' ? std::optional<bool>(field->number != 0) : std::nullopt;
}

std::string MpvConversation::Command(std::string_view arguments)
{
    return "{\"command\":[" + std::string(arguments) +
           "],\"request_id\":" + std::to_string(m_nextRequest++) + "}\n";
}

std::string MpvConversation::Greeting()
{
    // One after the other: the request numbers go up in the order of the lines.
    std::string lines;
    for (const auto& [id, name] : {std::pair{kPause, "pause"},
                                   {kTimePos, "time-pos"},
                                   {kVolume, "volume"},
                                   {kDuration, "duration"},
                                   {kSeekable, "seekable"}})
        lines += Command("\"observe_property\"," + std::to_string(id) + ",\"" + name + '"');
    return lines;
}

std::string MpvConversation::SetPause(bool on)
{
    return Command(std::string("\"set_property\",\"pause\",") + (on ? "true" : "false"));
}

// Exact: a film would otherwise go on from the key frame before the position.
std::string MpvConversation::Seek(std::int64_t microseconds, bool absolute)
{
    return Command("\"seek\"," + NumberText(static_cast<double>(microseconds) / 1e6) +
                   (absolute ? ",\"absolute+exact\"" : ",\"relative+exact\""));
}

std::string MpvConversation::SetVolume(double percent)
{
    if (!std::isfinite(percent) || percent < 0)
        percent = 0;
    return Command("\"set_property\",\"volume\"," + NumberText(percent));
}

MpvNews MpvConversation::Read(std::string_view line)
{
    MpvNews news;
    const std::optional<JsonFields> fields = JsonFields::Parse(line);
    if (!fields)
        return news;
    const std::optional<std::string> event = fields->Text("event");
    if (!event)
        return news; // an answer to a command: nothing waits for it
    if (*event == "seek") {
        m_seeking = true;
    } else if (*event == "playback-restart") {
        // Also at the start of each file, where nothing was sought.
        news.seeked = m_seeking;
        m_seeking = false;
    } else if (*event == "property-change") {
        const MpvPlayState before = m_state;
        const std::optional<double> id = fields->Number("id");
        const std::optional<double> number = fields->Number("data");
        switch (id ? static_cast<int>(*id) : 0) {
        case kPause:
            if (const std::optional<bool> paused = fields->Boolean("data")) {
                m_state.paused = *paused;
                news.changed = !m_answered || before.paused != *paused;
                m_answered = true;
            }
            return news;
        case kTimePos:
            m_state.position = number;
            return news;
        case kVolume:
            if (number)
                m_state.volume = *number;
            break;
        case kDuration:
            m_state.duration = number;
            break;
        case kSeekable:
            if (const std::optional<bool> seekable = fields->Boolean("data"))
                m_state.seekable = *seekable;
            break;
        default:
            break;
        }
        news.changed = m_state != before;
    } else if (*event == "end-file") {
        m_state.position.reset();
    }
    return news;
}

} // namespace zuv
