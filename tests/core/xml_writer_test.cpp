#include "util/xml_writer.h"

#include <gtest/gtest.h>

namespace zuv {
namespace {

TEST(XmlWriter, EscapesValuesAndTextsAndNestsElements)
{
    const struct
    {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"plain", "plain"},
        {"a&b<c>d", "a&amp;b&lt;c&gt;d"},
        {"\"quoted\" 'single'", "&quot;quoted&quot; &apos;single&apos;"},
        {"tab\tline\nbell\x07", "tab\tline\nbell"}, // XML 1.0 cannot hold the bell
        {"ünïcode", "ünïcode"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XmlEscape(c.text), c.escaped) << c.text;

    XmlWriter xml;
    xml.Open("root", {{"type", "a\"b"}})
        .Element("leaf", {}, "x<y")
        .Element("empty", {{"p", "*.&"}});
    EXPECT_EQ(xml.Finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<root type=\"a&quot;b\">\n"
                            "  <leaf>x&lt;y</leaf>\n"
                            "  <empty p=\"*.&amp;\"/>\n"
                            "</root>\n");
}

} // namespace
} // namespace zuv
