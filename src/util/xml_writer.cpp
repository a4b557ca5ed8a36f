#include "util/xml_writer.h"

namespace zuv {

std::string XmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                escaped += c;
        }
    }
    return escaped;
}

XmlWriter::XmlWriter() : m_text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::StartTag(std::string_view name, Attributes attributes)
{
    m_text.append(2 * m_open.size(), ' ');
    m_text += '<';
    m_text += name;
    for (const auto& [attribute, value] : attributes) {
        m_text += ' ';
        m_text += attribute;
        m_text += "=\"" + XmlEscape(value) + '"';
    }
}

XmlWriter& XmlWriter::Open(std::string_view name, Attributes attributes)
{
    StartTag(name, attributes);
    m_text += ">\n";
    m_open.emplace_back(name);
    return *this;
}

XmlWriter& XmlWriter::Element(std::string_view name, Attributes attributes, std::string_view text)
{
    StartTag(name, attributes);
    if (text.empty())
        m_text += "/>\n";
    else
        m_text += '>' + XmlEscape(text) + "</" + std::string(name) + ">\n";
    return *this;
}

XmlWriter& XmlWriter::Close()
{
    if (m_open.empty())
        return *this;
    const std::string name = std::move(m_open.back());
    m_open.pop_back();
    m_text.append(2 * m_open.size(), ' ');
    m_text += "</" + name + ">\n";
    return *this;
}

std::string XmlWriter::Finish()
{
    while (!m_open.empty())
        Close();
    return std::move(m_text);
}

} // namespace zuv
