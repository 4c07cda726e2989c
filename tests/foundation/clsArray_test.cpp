#include "foundation/clsArray.h"
#include "ArrayItems.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <stdexcept>

namespace {
class StringArrayTest : public ::testing::Test {
protected:
    TestEnvironment env;
    ScriptedBoxes boxes;
};
}  // namespace

TEST_F(StringArrayTest, NewListIsEmptyAndOutOfRangeItemsThrow) {
    clsArray a;
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.GetIndexByText("x"), 0);
    EXPECT_EQ(a.Item(0), "");
    EXPECT_THROW(a.Item(1), std::out_of_range);
    EXPECT_THROW(a.Item(-1), std::out_of_range);

    a.init(5);  // slots prepared by init may be used until the first Add
    a.setItem(5, "five");
    EXPECT_EQ(a.Item(5), "five");
    a.Add("one");
    EXPECT_EQ(a.Item(1), "one");
    EXPECT_THROW(a.Item(2), std::out_of_range);
    EXPECT_THROW(a.setItem(2, "two"), std::out_of_range);
}

TEST_F(StringArrayTest, GetIndexByTextIgnoresCaseUnlessAsked) {
    clsArray a;
    for (const char* s : {"alpha", "Beta", "beta"}) a.Add(s);
    struct Case {
        const char* text;
        bool caseSensitive;
        qint32 expected;
    };
    for (const Case& c : {Case{"BETA", false, 2}, Case{"beta", true, 3}, Case{"BETA", true, 0}, Case{"Alpha", false, 1},
                          Case{"gamma", false, 0}})
        EXPECT_EQ(a.GetIndexByText(c.text, 1, c.caseSensitive), c.expected) << c.text;
    EXPECT_EQ(a.GetIndexByText("alpha", 3), 1);  // the search always starts at item 1
}

TEST_F(StringArrayTest, ParsingSkipsTheFirstFieldAndBlankFields) {
    struct Case {
        QString text, delimiter;
        QStringList expected;
    };
    const Case cases[] = {
        {"a;b;c", ";", {"b", "c"}},    {"no delimiter", ";", {}}, {"x;   ;  ", ";", {}}, {"x; b ;;c ", ";", {"b", "c"}},
        {"x, y, z", ", ", {"y", "z"}}, {"a;b", "", {}},  // an empty delimiter cuts nothing
    };
    for (const Case& c : cases) {
        clsArray a;
        a.CreateByParsingText(c.text, c.delimiter);
        EXPECT_EQ(ArrayItems(a), c.expected) << qPrintable(c.text);
    }
}

TEST_F(StringArrayTest, ParsingMoreThanAHundredFieldsKeepsThoseCutAndLogsTheFailure) {
    QStringList fields;
    for (int i = 0; i < 150; ++i) fields << QString::number(i);
    clsArray a;
    a.CreateByParsingText(fields.join(','), ",");
    EXPECT_EQ(a.Count(), 99);
    EXPECT_EQ(a.Item(99), "99");
    EXPECT_TRUE(env.readFile("corvex.log").contains(",Error in splitTextIntoFields"));
}

TEST_F(StringArrayTest, LoadFromDiskAppendsEveryLineAndTellsHowMany) {
    env.writeFile("three.txt", "one\r\ntwo\nthree\r\n");
    env.writeFile("empty.txt", "");
    clsArray a;
    a.Add("held");
    EXPECT_EQ(a.LoadFromDisk(env.path("three.txt")), 3);
    EXPECT_EQ(ArrayItems(a), QStringList({"held", "one", "two", "three"}));
    EXPECT_EQ(boxes.count(), 0);

    boxes.answer(platform::Answer::OK);
    EXPECT_EQ(a.LoadFromDisk(env.path("empty.txt"), true), 0);
    EXPECT_EQ(boxes.last().text, "Read in  lines \r\n from file " + env.path("empty.txt"));
    EXPECT_EQ(a.Count(), 4);
}

TEST_F(StringArrayTest, LoadFromDiskOfAMissingFileSaysSoAndGivesMinusOne) {
    boxes.answer(platform::Answer::OK);
    clsArray a;
    EXPECT_EQ(a.LoadFromDisk(env.path("missing.txt")), -1);
    EXPECT_TRUE(boxes.last().text.startsWith("Error loading file from disk to Array\r\n"));
    EXPECT_EQ(a.Count(), 0);
}

TEST_F(StringArrayTest, SaveToDiskWritesTheItemsAndReportsAFailure) {
    clsArray a;
    a.CreateByParsingText("-;one;two;drei", ";");
    a.setCount(2);  // shortening drops the last item
    ASSERT_TRUE(a.SaveToDisk(env.path("out.txt")));
    EXPECT_EQ(ReadBytes(env.path("out.txt")), "one\r\ntwo\r\n");

    a.setCount(3);  // growing adds an empty item
    EXPECT_EQ(a.Item(3), "");
    EXPECT_THROW(a.setCount(-1), std::out_of_range);

    QDir().mkpath(env.path("folder.txt"));
    EXPECT_FALSE(a.SaveToDisk(env.path("folder.txt")));
    EXPECT_TRUE(env.readFile("corvex.log").contains("SaveToDisk : cant write the file " + env.path("folder.txt")));
}

TEST_F(StringArrayTest, LinesInOtherEncodingsGoBackAsTheirBytes) {
    const QByteArray lines = "/home/anna/caf\xe9/\r\n/x/\xff\xfe\x80/\r\n/y/caf\xc3\xa9/\r\n";
    WriteBytes(env.path("in.txt"), lines);
    clsArray a;
    ASSERT_EQ(a.LoadFromDisk(env.path("in.txt")), 3);
    EXPECT_EQ(a.Item(3), QString::fromUtf8("/y/caf\xc3\xa9/"));
    ASSERT_TRUE(a.SaveToDisk(env.path("out.txt")));
    EXPECT_EQ(ReadBytes(env.path("out.txt")), lines);
}

TEST_F(StringArrayTest, AddAtAnotherIndexWarnsAndAppends) {
    boxes.answer(platform::Answer::OK);
    clsArray a;
    a.Add("first");
    a.Add("second", 1);
    a.Add("third", 0);
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "ndx isnt setup to add at specific point yet");
    EXPECT_EQ(ArrayItems(a), QStringList({"first", "second", "third"}));
}
