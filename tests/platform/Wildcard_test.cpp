#include "platform/Wildcard.h"

#include <gtest/gtest.h>

using platform::WildcardMatch;

TEST(Wildcard, StarAndQuestionMark) {
    EXPECT_TRUE(WildcardMatch("report.txt", "*.txt"));
    EXPECT_TRUE(WildcardMatch("a.b.txt", "*.txt"));
    EXPECT_FALSE(WildcardMatch("report.txt.bak", "*.txt"));
    EXPECT_TRUE(WildcardMatch("abc", "a?c"));
    EXPECT_FALSE(WildcardMatch("ac", "a?c"));
    EXPECT_FALSE(WildcardMatch("abbc", "a?c"));
    EXPECT_TRUE(WildcardMatch("abbbc", "a*c"));
    EXPECT_TRUE(WildcardMatch("ac", "a*c"));
    EXPECT_TRUE(WildcardMatch("aXbXc", "*b*c"));
    EXPECT_FALSE(WildcardMatch("aXbXd", "*b*c"));
    EXPECT_TRUE(WildcardMatch("mississippi", "*sip*"));
    EXPECT_TRUE(WildcardMatch("x", "*"));
}

TEST(Wildcard, LettersMatchWithoutRegardToCase) {
    EXPECT_TRUE(WildcardMatch("REPORT.TXT", "*.txt"));
    EXPECT_TRUE(WildcardMatch("report.txt", "REP*.TXT"));
    EXPECT_TRUE(WildcardMatch(QString::fromUtf8("ÄRGER.doc"), QString::fromUtf8("ärger.*")));
    EXPECT_FALSE(WildcardMatch("report.txt", "*.txz"));
}

TEST(Wildcard, StarDotStarMatchesEveryNameAndStarDotOnlyNamesWithoutDot) {
    for (const char* name : {"a.txt", "noext", ".bashrc", "a.b.c", "trailing."}) {
        EXPECT_TRUE(WildcardMatch(name, "*.*")) << name;
        EXPECT_TRUE(WildcardMatch(name, "*")) << name;
    }
    EXPECT_TRUE(WildcardMatch("Makefile", "*."));
    EXPECT_FALSE(WildcardMatch("a.txt", "*."));
    EXPECT_FALSE(WildcardMatch(".bashrc", "*."));
    // "name.*" takes a name without any extension too.
    EXPECT_TRUE(WildcardMatch("readme", "readme.*"));
    EXPECT_TRUE(WildcardMatch("readme.md", "readme.*"));
    EXPECT_FALSE(WildcardMatch("readmeX", "readme.*"));
}

TEST(Wildcard, MaskBuiltFromExtensionOnly) {
    // A pattern row "doc" becomes "*.doc".
    EXPECT_TRUE(WildcardMatch("letter.DOC", "*.doc"));
    EXPECT_FALSE(WildcardMatch("letter.docx", "*.doc"));
    EXPECT_FALSE(WildcardMatch("doc", "*.doc"));
}
