#include "crashreport/packaging/xml_attribute.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(XmlItem, SerialisesATreeWithTwoSpaceIndentAndCrLf) {
    XmlElement report("report", EscapeXmlAttribute);
    report.AddAttribute("version", "1.0");
    XmlElement& exception = report.AddChild("exception");
    exception.SetText("Access violation");
    exception.AddAttribute("class", "EAccessViolation");
    XmlElement& stack = report.AddChild("stack");
    stack.AddChild("line").AddAttribute("n", "1");

    EXPECT_EQ(report.Serialize(), "<report version=\"1.0\">\r\n"
                                  "  <exception class=\"EAccessViolation\">Access violation"
                                  "</exception>\r\n"
                                  "  <stack>\r\n"
                                  "    <line n=\"1\"/>\r\n"
                                  "  </stack>\r\n"
                                  "</report>\r\n");
    EXPECT_EQ(stack.Parent(), &report);
    EXPECT_EQ(stack.Children()[0]->Indent(), "    ");
    EXPECT_EQ(report.Children().size(), 2u);
}

TEST(XmlItem, EscapesAttributeBytesAsThreeDigitEntities) {
    EXPECT_EQ(EscapeXmlAttribute("say \"hi\""), "say &#034;hi&#034;");
    EXPECT_EQ(EscapeXmlAttribute("a\nb"), "a&#010;b");
    EXPECT_EQ(EscapeXmlAttribute("<&'>"), "&#060;&#038;&#039;&#062;");
    EXPECT_EQ(EscapeXmlAttribute(std::string("\x00\x7F\xE9", 3)), "&#000;&#127;&#233;");
    EXPECT_EQ(EscapeXmlAttribute("plain text 123 = ok"), "plain text 123 = ok");
}

TEST(XmlItem, WritesTextContentUnchanged) {
    XmlElement item("note", EscapeXmlAttribute);
    item.SetText("1 < 2 & \"x\"");
    EXPECT_EQ(item.Serialize(), "<note>1 < 2 & \"x\"</note>\r\n");
}

} // namespace
} // namespace faulttrap
