#include "backup/PlannerRecords.h"
#include "BackupTestSupport.h"
#include "foundation/IniFile.h"
#include "foundation/NumberText.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <functional>

#include <gtest/gtest.h>

namespace {
const QString S = QString(QChar(31));

class PlandelTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        QDir().mkpath(env.path("plan"));
    }
    void writeIni(const QString& dataPath) {
        env.writeFile("corvex.ini", "[general]\r\nbackupTo=/b/\r\n[Plandel]\r\ndataPath=" + dataPath + "\r\n");
    }
    void load() {
        writeIni(env.path("plan"));
        QString settings;
        LoadPlandelSettings(settings);
        EXPECT_EQ(settings, env.ini());
    }
    // A file-list row as the scan makes it; its type is the path's extension.
    static FileListModel::Row fileRow(const QString& path, const QString& size, const QString& modified) {
        FileListModel::Row row;
        row.path = path;
        row.nameStart = qint32(path.lastIndexOf('/') + 1);
        row.size = NumberFromGroupedText(size, nullptr);
        row.modifiedSecs = QDateTime::fromString(modified, "yyyy-MM-dd HH:mm").toSecsSinceEpoch();
        row.timeKnown = true;
        row.form = FileListModel::RowForm::Full;
        return row;
    }
    QStringList ids(const QString& file) {
        QStringList result;
        for (const QString& line : env.readLines(file))
            if (!line.isEmpty()) result << line.section(S, 0, 0);
        return result;
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
};
}  // namespace

TEST_F(PlandelTest, ANewMonthsFileStartsWithOneEmptyLine) {
    load();
    EXPECT_EQ(PlandelDataPath, env.path("plan/"));
    EXPECT_EQ(CurrentDataFile, env.path("plan/D200304.dat"));
    EXPECT_EQ(ReadBytes(env.path("plan/D200304.dat")), QByteArray("\r\n"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(PlandelTest, TwoFilesOfOneDayGetSequentialIdsAndTheExactLine) {
    load();
    const FileListModel::Row a = fileRow("/home/anna/a.txt", "1,234      ", "2003-04-28 09:15");
    const FileListModel::Row b = fileRow("/home/anna/b.lnk", "0          ", "2003-04-28 10:00");
    RecordFileToPlandel(a);
    RecordFileToPlandel(b);
    const QByteArray expected =
        "\r\n"
        "D200304280001\x1f"
        "20030428\x1f"
        "Edit\x1f"
        "0915\x1f\x1f"
        "PCFile\x1f\x1f"
        "/home/anna/a.txt\x1f\x1f\x1f\x1f\x1f\x1f\x1f"
        "a.txt (1,234 bytes)\x1f\r\n"
        "D200304280002\x1f"
        "20030428\x1f"
        "View\x1f"
        "1000\x1f\x1f"
        "PCFile\x1f\x1f"
        "/home/anna/b.lnk\x1f\x1f\x1f\x1f\x1f\x1f\x1f"
        "b.lnk (0 bytes)\x1f\r\n";
    EXPECT_EQ(ReadBytes(env.path("plan/D200304.dat")), expected);
}

TEST_F(PlandelTest, ARecordOfAnEarlierMonthGoesIntoThatMonthsFile) {
    load();
    WriteBytes(env.path("plan/D200303.dat"), "\r\nD200303150001" + S.toUtf8() + "20030315" + S.toUtf8() + "x\r\n" +
                                                 "D200303160001" + S.toUtf8() + "\r\n");
    const FileListModel::Row old = fileRow("/w/old.doc", "10", "2003-03-15 08:00");
    RecordFileToPlandel(old);
    EXPECT_EQ(ids("plan/D200303.dat"), (QStringList{"D200303150001", "D200303160001", "D200303150002"}));
    EXPECT_EQ(CurrentDataFile, env.path("plan/D200303.dat"));
    // A month with no file yet gets one.
    const FileListModel::Row older = fileRow("/w/older.doc", "10", "2002-12-31 23:59");
    RecordFileToPlandel(older);
    EXPECT_EQ(ids("plan/D200212.dat"), QStringList{"D200212310001"});
    EXPECT_TRUE(env.readFile("plan/D200212.dat").startsWith("\r\n"));
}

TEST_F(PlandelTest, TheSameFileRecordedTwiceIsWrittenOnce) {
    load();
    const FileListModel::Row a = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:15");
    RecordFileToPlandel(a);
    RecordFileToPlandel(a);
    EXPECT_EQ(ids("plan/D200304.dat"), QStringList{"D200304280001"});
    // Same text at another time is a new event.
    const FileListModel::Row later = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:16");
    RecordFileToPlandel(later);
    EXPECT_EQ(ids("plan/D200304.dat"), (QStringList{"D200304280001", "D200304280002"}));
}

TEST_F(PlandelTest, AHeaderLineBeginningIdGivesPrefixC) {
    load();
    WriteBytes(env.path("plan/D200304.dat"), "ID" + S.toUtf8() + "Date" + S.toUtf8() + "\r\n");
    PlandelRecord r;
    r.EventDate = "20030428";
    r.Action = "Corvex";
    r.EventTime = "1405";
    r.Text = "first";
    AddPlandelRecord(r);
    EXPECT_EQ(r.Id, "C200304280001");
    PlandelRecord second = r;
    second.Text = "second";
    AddPlandelRecord(second);
    EXPECT_EQ(second.Id, "C200304280002");
}

TEST_F(PlandelTest, SequencesGoOnPastFourDigits) {
    load();
    EXPECT_EQ(createNextID(QDate(2003, 4, 28), "D200304280009"), "D200304280010");
    EXPECT_EQ(createNextID(QDate(2003, 4, 28), "D200304279999"), "D200304280001");
    EXPECT_EQ(createNextID(QDate(2003, 4, 28), "D200304289999"), "D2003042810000");
    EXPECT_EQ(createNextID(QDate(2003, 4, 28), ""), "");
    WriteBytes(env.path("plan/D200304.dat"),
               "\r\nD200304289999" + S.toUtf8() + "\r\nD2003042810000" + S.toUtf8() + "\r\n");
    EXPECT_EQ(GetUniqueID(env.path("plan/D200304.dat"), QDate(2003, 4, 28), S), "D2003042810001");
    EXPECT_EQ(GetUniqueID(env.path("plan/D200304.dat"), QDate(2003, 4, 29), S), "D200304290001");
}

TEST_F(PlandelTest, UnreadableDataFileGivesAnEmptyIdWithAMessage) {
    QDir().mkpath(env.path("plan/Dfolder.dat"));
    boxes.answer(platform::Answer::OK);
    EXPECT_EQ(GetUniqueID(env.path("plan/Dfolder.dat"), QDate(2003, 4, 28), S), "");
    EXPECT_EQ(boxes.last().text, "Cant open filename '" + env.path("plan/Dfolder.dat") + "'");
    // An empty file is read as one without a header.
    WriteBytes(env.path("plan/D200305.dat"), {});
    EXPECT_EQ(GetUniqueID(env.path("plan/D200305.dat"), QDate(2003, 5, 1), S), "D200305010001");
}

TEST_F(PlandelTest, FormattingAndBlankRecords) {
    PlandelRecord r;
    EXPECT_EQ(FormatPlandelRecord(r, S, "\r\n"), "");
    r.Id = "D1";
    r.Text = "line\r\nbreak" + S + "x";
    r.Reserved[5] = "14";
    r.Reserved5 = "5";
    EXPECT_EQ(FormatPlandelRecord(r, "|", "#"), "D1||||5|||||||||14|line  break x|#");
}

TEST_F(PlandelTest, TheRunRecordAndItsText) {
    load();
    EXPECT_EQ(PlandelRunText(2, 1234, 0, "/b/"), "Corvex copied 1,234 bytes in 2 files to the folder /b/");
    EXPECT_EQ(PlandelRunText(3, 0, 0, "/b/"), "Corvex copied  bytes in 3 files to the folder /b/");
    EXPECT_EQ(PlandelRunText(1234, 1234567, 1, "/b/"),
              "Corvex copied 1,234,567 bytes in 1,234 files with 1 errors to the folder /b/");
    RecordBackupToPlandel(2, 1234, 0, "/b/20030428/");
    const QByteArray expected =
        "\r\nD200304280001\x1f"
        "20030428\x1f"
        "Corvex\x1f"
        "1405\x1f\x1f"
        "Batch\x1f\x1f" +
        env.path("corvex").toUtf8() +
        "\x1f\x1f\x1f\x1f\x1f\x1f\x1f"
        "Corvex copied 1,234 bytes in 2 files to the folder "
        "/b/20030428/\x1f\r\n";
    EXPECT_EQ(ReadBytes(env.path("plan/D200304.dat")), expected);
}

TEST_F(PlandelTest, AMissingDataFolderIsAskedForAndStored) {
    writeIni("");
    boxes.reply(env.path("plan"));
    QString settings;
    LoadPlandelSettings(settings);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().kind, platform::BoxRequest::Kind::Input);
    EXPECT_EQ(boxes.last().title, "Tamsel Softwares Plandel - Path for Datafiles");
    EXPECT_EQ(boxes.last().defaultText, env.folder());
    EXPECT_EQ(PlandelDataPath, env.path("plan/"));
    EXPECT_EQ(ReadIni(env.ini(), "Plandel", "dataPath"), env.path("plan/"));
    EXPECT_TRUE(QFileInfo(env.path("plan/D200304.dat")).isFile());
}

TEST_F(PlandelTest, CancelUsesTheProgramFolder) {
    writeIni("");
    boxes.reply("");
    QString settings;
    LoadPlandelSettings(settings);
    EXPECT_EQ(PlandelDataPath, env.folder() + "/");
    EXPECT_EQ(ReadIni(env.ini(), "Plandel", "dataPath"), env.folder() + "/");
    EXPECT_TRUE(QFileInfo(env.path("D200304.dat")).isFile());
}

TEST_F(PlandelTest, AnAnswerThatCannotBeWrittenIsRefused) {
    writeIni("");
    env.writeFile("file", "x");
    boxes.reply(env.path("file/sub")).answer(platform::Answer::OK).answer(platform::Answer::OK);
    QString settings;
    LoadPlandelSettings(settings);
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_EQ(boxes.seen()[1].title, "Problem writing to Directory");
    EXPECT_EQ(boxes.seen()[2].title, "Path not valid - run Config");
    EXPECT_EQ(boxes.seen()[2].text,
              "The path you chose does not exist , or is invalid. \r\nPlease run the config screen again.");
    EXPECT_EQ(ReadIni(env.ini(), "Plandel", "dataPath"), "");
    // The run goes on with the program folder.
    EXPECT_EQ(PlandelDataPath, env.folder() + "/");
}

TEST_F(PlandelTest, FindPlandelDataPathReadsPlandelsOwnSettings) {
    env.writeFile("plandel.ini", "[plandel]\r\ndataPath=/srv/plandel/data/\r\n");
    EXPECT_EQ(FindPlandelDataPath(), "/srv/plandel/data/");
    QFile::remove(env.path("plandel.ini"));
    env.writeFile("netplandel.ini", "[plandel]\r\ndataPath=/net/data/\r\n");
    EXPECT_EQ(FindPlandelDataPath(), "/net/data/");
    QFile::remove(env.path("netplandel.ini"));

    boxes.reply("");
    EXPECT_EQ(FindPlandelDataPath(), env.folder());
    EXPECT_EQ(boxes.last().title, "Path where Tamsel Software's Plandel is installed");
    EXPECT_EQ(boxes.last().defaultText, "/opt/tamsel/plandel");
    env.writeFile("inst/netplandel.ini", "[plandel]\r\ndataPath=/inst/data/\r\n");
    boxes.reply(env.path("inst/"));
    EXPECT_EQ(FindPlandelDataPath(), "/inst/data/");
    EXPECT_TRUE(env.readFile("corvex.log").contains("Plandel Files are located in :/inst/data/"));
}

TEST_F(PlandelTest, ARecordNeverJoinsALastLineWithoutItsLineEnd) {
    load();
    // The month's file was saved without a line end after its last record.
    const QByteArray old = "\r\nD200304270001" + S.toUtf8() + "20030427" + S.toUtf8() + "old" + S.toUtf8();
    WriteBytes(env.path("plan/D200304.dat"), old);
    const FileListModel::Row a = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:15");
    RecordFileToPlandel(a);
    const QByteArray data = ReadBytes(env.path("plan/D200304.dat"));
    EXPECT_TRUE(data.startsWith(old + "\r\nD200304280001" + S.toUtf8())) << data.toStdString();
    EXPECT_EQ(ids("plan/D200304.dat"), (QStringList{"D200304270001", "D200304280001"}));
}

TEST_F(PlandelTest, RecordsFollowWhatAnotherProgramAddedMeanwhile) {
    load();
    const FileListModel::Row a = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:15");
    RecordFileToPlandel(a);
    // The planner itself adds a record of the same day, and one like the next file's.
    QFile data(env.path("plan/D200304.dat"));
    ASSERT_TRUE(data.open(QIODevice::Append));
    const FileListModel::Row b = fileRow("/home/anna/b.txt", "7", "2003-04-28 09:20");
    data.write(("D200304280005" + S + "20030428" + S + "Edit" + S + "0920" + S + S + "PCFile" + S + S +
                "/home/anna/b.txt" + S + S + S + S + S + S + S + "b.txt (7 bytes)" + S + "\r\n")
                   .toUtf8());
    data.close();
    RecordFileToPlandel(b);
    const FileListModel::Row c = fileRow("/home/anna/c.txt", "9", "2003-04-28 09:30");
    RecordFileToPlandel(c);
    EXPECT_EQ(ids("plan/D200304.dat"), (QStringList{"D200304280001", "D200304280005", "D200304280006"}));
}

TEST_F(PlandelTest, ADataFileThatIsNotARegularFileIsAnErrorNotAHang) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"FIFO", [](const QString& p) { ::mkfifo(QFile::encodeName(p).constData(), 0644); }},
        {"link to /dev/zero", [](const QString& p) { QFile::link("/dev/zero", p); }},
    };
    for (const Case& c : cases) {
        QFile::remove(env.path("plan/D200304.dat"));
        QFile::remove(env.path("corvex.log"));
        c.make(env.path("plan/D200304.dat"));
        load();
        const FileListModel::Row a = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:15");
        RecordFileToPlandel(a);
        RecordBackupToPlandel(1, 5, 0, "/b/");
        const QStringList log = env.readLines("corvex.log");
        ASSERT_EQ(log.size(), 2) << c.what;
        EXPECT_TRUE(log[0].endsWith(",AddPlandelRecord: Cant append to " + env.path("plan/D200304.dat") +
                                    " - not a regular file - record lost: a.txt (5 bytes)"))
            << log[0].toStdString();
        EXPECT_EQ(boxes.count(), 0) << c.what;
    }
}

TEST_F(PlandelTest, OtherLinesOfTheDataFileKeepTheirBytes) {
    load();
    const QByteArray old = "\r\nD200304270001" + S.toUtf8() + "caf\xe9 \xff" + S.toUtf8() + "\r\n";
    WriteBytes(env.path("plan/D200304.dat"), old);
    const FileListModel::Row a = fileRow("/home/anna/a.txt", "5", "2003-04-28 09:15");
    RecordFileToPlandel(a);
    EXPECT_TRUE(ReadBytes(env.path("plan/D200304.dat")).startsWith(old + "D200304280001" + S.toUtf8()));
}
