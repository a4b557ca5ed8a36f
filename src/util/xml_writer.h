#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zuv {

// The text with &, <, >, " and ' written as entities and the control characters XML 1.0 cannot
// hold (all below U+0020 but tab, line feed and carriage return) left out.
std::string XmlEscape(std::string_view text);

// Writes a small XML document, one element per line, indented by two spaces per level. Names are
// written as given; attribute values and texts are escaped.
class XmlWriter
{
public:
    using Attributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

    XmlWriter(); // starts with the UTF-8 declaration

    XmlWriter& Open(std::string_view name, Attributes attributes = {});
    // An element without children: <name .../> when `text` is empty, else <name ...>text</name>.
    XmlWriter& Element(std::string_view name, Attributes attributes, std::string_view text = {});
    XmlWriter& Close();

    // The document, with every element still open closed.
    std::string Finish();

private:
    void StartTag(std::string_view name, Attributes attributes);

    std::string m_text;
    std::vector<std::string> m_open;
};

} // namespace zuv
