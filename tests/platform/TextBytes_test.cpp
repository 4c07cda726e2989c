#include "platform/TextBytes.h"

#include <gtest/gtest.h>

TEST(TextBytes, EveryByteSequenceComesBackUnchanged) {
    const QByteArray cases[] = {"",
                                "plain.txt",
                                "caf\xc3\xa9.txt",
                                "caf\xe9.txt",
                                "\xff",
                                "\xef\xbf\xbd",                           // a real U+FFFD
                                "\xf0\x9f\x98\x80 and \xf0\x90\x82\x80",  // characters beyond U+FFFF
                                "\xed\xb2\x80",                           // an encoded surrogate
                                "\xc0\xaf",                               // an overlong "/"
                                "cut \xe2\x82",
                                "\x80\x80\xfe",
                                "mixed \xc3\xa9\xe9\xc3"};
    for (const QByteArray& bytes : cases) {
        const QString text = platform::TextFromBytes(bytes);
        EXPECT_EQ(platform::BytesFromText(text), bytes) << bytes.toHex().constData();
    }
    // Valid text decodes as UTF-8; other bytes become U+DC80..U+DCFF, so
    // "\xff" and a real U+FFFD stay two names.
    EXPECT_EQ(platform::TextFromBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(platform::TextFromBytes("caf\xe9"), QStringView(u"caf\xdce9").toString());
    EXPECT_NE(platform::TextFromBytes("\xff"), platform::TextFromBytes("\xef\xbf\xbd"));
    EXPECT_EQ(platform::BytesFromText(u"\U00010080"), QByteArray("\xf0\x90\x82\x80"));
}
