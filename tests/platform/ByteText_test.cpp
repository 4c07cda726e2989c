#include "platform/ByteText.h"

#include <gtest/gtest.h>

using platform::BytesFromText;
using platform::TextFromBytes;

TEST(ByteText, EveryByteSequenceComesBackUnchanged) {
    const QByteArray cases[] = {
        QByteArray(""),
        QByteArray("plain ascii\r\n"),
        QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),  // valid two-, three- and four-byte forms
        QByteArray("caf\xe9.txt"),                                // Latin-1
        QByteArray("\xff"),
        QByteArray("\xc0\xaf"),          // overlong "/"
        QByteArray("\xed\xb2\x80"),      // an encoded surrogate, which would pass for an escape
        QByteArray("\xf4\x90\x80\x80"),  // past U+10FFFF
        QByteArray("\xe2\x82"),          // cut short at the end
        QByteArray("a\x80\x80z\xef\xbf\xbd"),
        QByteArray("\xef\xbb\xbf"
                   "name.txt"),                  // a leading U+FEFF is part of the name
        QByteArray("\xef\xbb\xbf\xef\xbb\xbf"),  // twice
        QByteArray("\xff\xef\xbb\xbf"
                   "after an escape"),  // first of a run after an undecodable byte
    };
    for (const QByteArray& bytes : cases) {
        const QString text = TextFromBytes(bytes);
        EXPECT_EQ(BytesFromText(text), bytes) << bytes.toHex().constData();
    }
}

TEST(ByteText, ValidUtf8DecodesAsUsualAndOtherBytesAsEscapes) {
    EXPECT_EQ(TextFromBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    const QString latin = TextFromBytes("caf\xe9");
    ASSERT_EQ(latin.size(), 4);
    EXPECT_EQ(latin[3].unicode(), 0xDCE9);
    // A real U+FFFD and an undecodable byte stay two different texts.
    EXPECT_NE(TextFromBytes("\xef\xbf\xbd"), TextFromBytes("\xff"));
}

TEST(ByteText, ALeadingZeroWidthNoBreakSpaceIsKeptAsACharacter) {
    const QString name = TextFromBytes(
        "\xef\xbb\xbf"
        "a");
    ASSERT_EQ(name.size(), 2);
    EXPECT_EQ(name[0].unicode(), 0xFEFF);
    EXPECT_EQ(BytesFromText(QString(QChar(0xFEFF)) + "a"), QByteArray("\xef\xbb\xbf"
                                                                      "a"));
}

TEST(ByteText, OtherLoneSurrogatesBecomeTheReplacementCharacter) {
    const QChar lone[] = {QChar(char16_t(0xD800)), QChar('x')};
    EXPECT_EQ(BytesFromText(QStringView(lone, 2)), QByteArray("\xef\xbf\xbdx"));
}
