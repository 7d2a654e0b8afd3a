#include <gtest/gtest.h>

#include "platform/TextCodec.h"

using namespace plavex::platform;

TEST(TextCodec, GbkRoundTripOfChineseAndAscii) {
  const QString text = QStringLiteral("动画播放 Flash影片（*.SWF）");
  const auto bytes = EncodeGbk(text);
  ASSERT_TRUE(bytes.has_value());
  // "动" is 0xB6 0xAF in GBK.
  EXPECT_EQ(static_cast<unsigned char>(bytes->at(0)), 0xB6);
  EXPECT_EQ(static_cast<unsigned char>(bytes->at(1)), 0xAF);
  EXPECT_EQ(DecodeText(*bytes), text);
}

TEST(TextCodec, CharactersOutsideGbkAreRefusedAndKeptAsUtf8) {
  const QString text = QStringLiteral("movie \U0001F600 ✓ 한국");
  EXPECT_FALSE(EncodeGbk(text).has_value());
  const QByteArray bytes = EncodeGbkOrUtf8(text);
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(DecodeText(bytes), text);
}

TEST(TextCodec, ByteOrderMarksSelectTheEncoding) {
  struct Case {
    QByteArray bytes;
    TextEncoding encoding;
    int bom;
    QString text;
  };
  const QString hello = QStringLiteral("播放");
  QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
  for (QChar c : hello) {
    le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
  }
  const Case cases[] = {
      {QByteArray("\xEF\xBB\xBF") + hello.toUtf8(), TextEncoding::Utf8, 3, hello},
      {le, TextEncoding::Utf16LE, 2, hello},
      {be, TextEncoding::Utf16BE, 2, hello},
      {*EncodeGbk(hello), TextEncoding::Gbk, 0, hello},
      {QByteArray(), TextEncoding::Gbk, 0, QString()},
  };
  for (const Case& c : cases) {
    int bom = -1;
    EXPECT_EQ(DetectEncoding(c.bytes, &bom), c.encoding);
    EXPECT_EQ(bom, c.bom);
    EXPECT_EQ(DecodeText(c.bytes), c.text);
  }
}

TEST(TextCodec, BrokenGbkBytesBecomeReplacementCharacters) {
  // A lone lead byte in the middle and a cut-off one at the end.
  const QByteArray bytes("a\xB6" "b\xFF", 4);
  const QString text = DecodeText(bytes);
  EXPECT_TRUE(text.startsWith(u'a'));
  EXPECT_TRUE(text.contains(QChar::ReplacementCharacter));
  EXPECT_TRUE(text.contains(u'b') || text.size() >= 3);
}

TEST(TextCodec, OddLengthUtf16DropsTheHalfCharacter) {
  const QByteArray bytes("\xFF\xFE" "A\x00" "B", 5);
  EXPECT_EQ(DecodeText(bytes), QStringLiteral("A"));
}
