// The edit-text model: HTML in and out, formats over ranges, what typing lets through.
#include <gtest/gtest.h>

#include "engine/core/EditTextState.h"

namespace plavex::engine {
namespace {

EditTextState htmlField() {
  EditTextState s = EditTextState::created(100, 20);
  s.settings.html = true;
  return s;
}

TEST(EditTextState, HtmlReadsBackInThePlayersUpperCaseForm) {
  EditTextState s = htmlField();
  s.setHtmlText("<p align='center'><font color='#ff0000' size='20'>a &amp; <b>b</b></font></p>");
  EXPECT_EQ(s.textUtf8(), "a & b");
  EXPECT_EQ(s.htmlText(8),
            "<P ALIGN=\"CENTER\"><FONT FACE=\"Times New Roman\" SIZE=\"20\" COLOR=\"#FF0000\" LETTERSPACING=\"0\" "
            "KERNING=\"0\">a &amp; </FONT><FONT FACE=\"Times New Roman\" SIZE=\"20\" COLOR=\"#FF0000\" "
            "LETTERSPACING=\"0\" KERNING=\"0\"><B>b</B></FONT></P>");
}

TEST(EditTextState, ParagraphsAndBreaksEndWithCarriageReturns) {
  struct Case {
    const char* html;
    const char* text;
  } cases[] = {
      {"<p>a</p><p>b</p>", "a\rb"},
      {"a<br>b", "a\rb"},
      {"<unknown>x</unknown>", "x"},
      {"&lt;&#65;&#x42;&gt;", "<AB>"},
      {"a<b", "a"},  // an unclosed tag ends the text
  };
  for (const auto& c : cases) {
    EditTextState s = htmlField();
    s.setHtmlText(c.html);
    EXPECT_EQ(s.textUtf8(), c.text) << c.html;
  }
}

TEST(EditTextState, FormatOfAMixedRangeLeavesTheMixedFieldsUnset) {
  EditTextState s = EditTextState::created(100, 20);
  s.setText("abcd");
  CharFormat bold;
  bold.bold = true;
  s.setFormat(0, 2, bold);
  EXPECT_EQ(s.formatOf(0, 2).bold, true);
  EXPECT_FALSE(s.formatOf(0, 4).bold.has_value());
  EXPECT_EQ(s.formatOf(0, 4).font, "Times New Roman");
}

TEST(EditTextState, TypingHonoursRestrictMaxCharsAndMultiline) {
  EditTextState s = EditTextState::created(100, 20);
  s.settings.input = true;
  s.settings.restrict = "a-c";
  s.settings.maxChars = 3;
  s.typeText("abxcba\n");
  EXPECT_EQ(s.textUtf8(), "abc");
  EXPECT_EQ(s.selectionBegin, 3);
}

TEST(EditTextState, RestrictPatterns) {
  struct Case {
    const char* pattern;
    char16_t c;
    bool allowed;
  } cases[] = {
      {"a-z", u'q', true}, {"a-z", u'Q', false}, {"^0-9", u'5', false}, {"^0-9", u'x', true},
      {"a-z^q", u'q', false}, {"\\-", u'-', true}, {"", u'a', false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(restrictAllows(std::string(c.pattern), c.c), c.allowed) << c.pattern << " " << char(c.c);
  EXPECT_TRUE(restrictAllows(std::nullopt, u'x'));
}

TEST(EditTextState, SetTextStoresLineEndsAsCarriageReturns) {
  EditTextState s = EditTextState::created(100, 20);
  s.setText("a\r\nb\nc");
  EXPECT_EQ(s.textUtf8(), "a\rb\rc");
  s.replaceText(1, 2, "XY");
  EXPECT_EQ(s.textUtf8(), "aXYb\rc");
  s.replaceText(50, 60, "!");  // past the end: appends
  EXPECT_EQ(s.textUtf8(), "aXYb\rc!");
}

}  // namespace
}  // namespace plavex::engine
