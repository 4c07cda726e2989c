#include "backup/PlannerRecords.h"

#include "backup/BackupValues.h"
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/SystemInfo.h"
#include "platform/TrustedLinks.h"

#include <QFileInfo>
#include <QHash>
#include <QMultiHash>

QString PlandelDataPath;
QString CurrentDataFile;

namespace {

QString programFolderSlash() { return platform::ProgramFolder() + '/'; }

// What a run knows of one data file: its lines, read once, and indexes of
// their fields and IDs, kept up to date as records are appended. Each record
// then costs the same however long the month's file is. The file's size and
// time tell when another program has changed it meanwhile; it is then read
// again.
struct DataFile {
    qint64 size = 0;
    qint64 modifiedSecs = 0;
    int modifiedNsecs = 0;
    char lastByte = '\n';  // '\n' also for an empty file
    QStringList lines;
    // Every field that stands between two separators, by the hash of its
    // text, with the lines it stands in.
    QMultiHash<size_t, int> fields;
    // The first nine characters of each line's ID (the part before its first
    // separator) with the day's highest sequence and the first ID that has it.
    struct Greatest {
        qint64 sequence = -1;
        QString id;
    };
    QHash<QString, Greatest> greatest;

    void addLine(const QString& line) {
        const int number = int(lines.size());
        lines.append(line);
        const QChar sep(31);
        qsizetype open = line.indexOf(sep);
        const QString id = open < 0 ? line : line.left(open);
        if (id.size() >= 9) {
            Greatest& g = greatest[id.left(9)];
            const qint64 sequence = qint64(NumericValue(id.mid(9)));
            if (sequence > g.sequence) g = {sequence, id};
        }
        while (open >= 0) {
            const qsizetype close = line.indexOf(sep, open + 1);
            if (close < 0) break;
            fields.insert(qHash(QStringView(line).sliced(open + 1, close - open - 1)), number);
            open = close;
        }
    }
};

QHash<QString, DataFile>& dataFiles() {
    static QHash<QString, DataFile> files;
    return files;
}

void remember(DataFile& file, const platform::FileStatus& st) {
    file.size = st.size;
    file.modifiedSecs = st.modifiedSecs;
    file.modifiedNsecs = st.modifiedNsecs;
}

// The data file as a run knows it, read when it is new to the run or has
// changed; null when it is not a regular file or cannot be read. A FIFO or a
// device is never opened: reading one would wait or never end.
DataFile* knownDataFile(const QString& path) {
    const platform::FileStatus st = platform::GetFileStatus(path);
    if (!st.isFile) {
        dataFiles().remove(path);
        return nullptr;
    }
    auto it = dataFiles().find(path);
    if (it != dataFiles().end() && it->size == st.size && it->modifiedSecs == st.modifiedSecs &&
        it->modifiedNsecs == st.modifiedNsecs)
        return &*it;
    dataFiles().remove(path);
    QByteArray data;
    if (platform::ReadTrustedFile(path, data, nullptr) != platform::TrustedRead::Read) return nullptr;
    DataFile file;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        file.addLine(platform::TextFromBytes(line));
    }
    // A final line end leaves one empty piece behind it that is not a line.
    if (data.endsWith('\n')) file.lines.removeLast();
    if (!data.isEmpty()) file.lastByte = data.back();
    remember(file, st);
    return &*dataFiles().insert(path, std::move(file));
}

// Appends a record line to the data file, first closing a last line that
// lacks its line end (saved by an editor, say), which the record would
// otherwise join. False when the append failed.
bool appendRecordLine(const QString& path, const QString& line) {
    DataFile* file = knownDataFile(path);
    const bool closeLastLine = file && file->lastByte != '\n';
    const QString lead = closeLastLine ? QStringLiteral("\r\n") : QString();
    if (!AppendLineToFile(path, lead + line, platform::NewFileOwner::FolderOwner)) {
        dataFiles().remove(path);
        return false;
    }
    if (!file) return true;
    const platform::FileStatus st = platform::GetFileStatus(path);
    // A last line ending in a bare CR reads differently once closed: read again.
    if (file->lastByte == '\r' || st.size != file->size + platform::BytesFromText(lead + line).size() + 2) {
        dataFiles().remove(path);
        return true;
    }
    file->addLine(line);
    file->lastByte = '\n';
    remember(*file, st);
    return true;
}

// A field value must not break the line apart: line ends and separators become blanks.
QString fieldText(const QString& value) {
    QString text = value;
    for (QChar& c : text)
        if (c == QChar(31) || c == '\r' || c == '\n') c = ' ';
    return text;
}

// The refusal this run has logged and counted already: every record of the
// run meets it again.
QString& reportedRefusal() {
    static QString reason;
    return reason;
}

// True when a run as root may not use path, the data folder or the settings
// file that names it (what says which): a link on its path that root does
// not own (platform/TrustedLinks.h) would let its owner point root's records
// at any folder. Logged at level 0 and counted as an error once in a run;
// nothing is then written for the planner, and nobody is asked for another
// folder, which a silent run would wait for.
bool refusedForRecords(const QString& path, const QString& what) {
    QString why;
    if (path.isEmpty() || !platform::RefusedPath(path, &why)) return false;
    if (reportedRefusal() != why) {
        reportedRefusal() = why;
        WriteLog(
            "The planner " + what + " '" + path + "' cannot be used - " + why + " - no planner records are written", 0);
        ++RunErrors;
    }
    return true;
}

bool dataFolderRefused(const QString& folder) { return refusedForRecords(folder, QStringLiteral("data folder")); }

// The path may hold characters no folder name can hold: such a folder cannot be checked.
bool usableFolderText(const QString& folder) { return !folder.contains(QChar(0)); }

const QString kFolderPrompt = QStringLiteral(
    "Enter the path of any existing Plandel files from Tamsel Software - if you havent used this program before "
    "click OK to use the applications current directory");

}  // namespace

const QString& PlandelRecord::field(int n) const {
    static const QString none;
    switch (n) {
    case 0: return Id;
    case 1: return EventDate;
    case 2: return Action;
    case 3: return EventTime;
    case 4: return Text;
    case 5: return Reserved5;
    case 6: return Kind;
    case 7: return Reserved7;
    case 8: return FilePath;
    default: return (n >= 9 && n <= 14) ? Reserved[n - 9] : none;
    }
}

QString PlandelSeparator() { return QString(QChar(31)); }

void LoadPlandelSettings(QString& settingsFile) {
    if (settingsFile.isEmpty()) settingsFile = IniFile;
    CurrentDataFile.clear();
    // Settings that cannot be read name no folder, and asking for one would hold up the run.
    if (refusedForRecords(settingsFile, QStringLiteral("settings file"))) return;
    PlandelDataPath = ReadIni(settingsFile, Section::Plandel, Key::DataPath);
    if (dataFolderRefused(PlandelDataPath)) return;
    CheckPlandelDataPath(PlandelDataPath);
    if (PlandelDataPath.isEmpty()) PlandelDataPath = platform::ProgramFolder();
    if (!PlandelDataPath.endsWith('/')) PlandelDataPath += '/';
    // Another folder found or given meanwhile is held to the same rule.
    if (dataFolderRefused(PlandelDataPath)) return;
    CurrentDataFile = GetPlandelFileNameForDate(platform::Now().date());
}

void CheckPlandelDataPath(QString& folder) {
    if (usableFolderText(folder)) {
        if (CanWriteToFolder(folder)) return;
        QString answer = platform::InputBox(
            kFolderPrompt, QStringLiteral("Tamsel Softwares Plandel - Path for Datafiles"), platform::ProgramFolder());
        if (answer.isEmpty()) answer = platform::ProgramFolder();
        if (!answer.endsWith('/')) answer += '/';
        if (usableFolderText(answer)) {
            if (CanWriteToFolder(answer)) {
                WriteIni(Section::Plandel, Key::DataPath, answer, IniFile);
                folder = answer;
            } else {
                WriteLog("The path '" + answer + "' does not exist, or is invalid", 0);
                platform::MsgBox(QStringLiteral("The path you chose does not exist , or is invalid. \r\n"
                                                "Please run the config screen again."),
                                 platform::Buttons::OK, platform::Icon::None,
                                 QStringLiteral("Path not valid - run Config"));
            }
            return;
        }
    }
    // A folder text that cannot be tested at all: look for Plandel's own settings instead.
    WriteLog("The path '" + folder + "' does not exist, or is invalid", 0);
    platform::MsgBox(QStringLiteral("The path you chose does not exist , or is invalid. \r\n"
                                    "Please run the config screen again."),
                     platform::Buttons::OK, platform::Icon::None, QStringLiteral("Path not valid - run Config"));
    PlandelDataPath = FindPlandelDataPath();
    WriteIni(Section::Plandel, Key::DataPath, programFolderSlash(), IniFile);
}

QString FindPlandelDataPath() {
    QString path;
    const QString plandelIni = programFolderSlash() + "plandel.ini";
    const QString netPlandelIni = programFolderSlash() + "netplandel.ini";
    bool found = false;
    if (QFileInfo(plandelIni).isFile()) {
        WriteLog(QStringLiteral("Plandel INI file found in current directory"), 0);
        path = ReadIni(plandelIni, Section::Plandel, Key::DataPath);
        found = !path.isEmpty();
    }
    if (!found && QFileInfo(netPlandelIni).isFile()) {
        WriteLog("Plandel INI file found in " + platform::ProgramFolder(), 0);
        path = ReadIni(netPlandelIni, Section::Plandel, Key::DataPath);
        found = true;
    }
    if (!found) {
        QString answer = platform::InputBox(
            QStringLiteral("Enter the path where Tamsel Software's Electronic Plandel is installed. This is so you "
                           "can view a files history - ie when it was edited and when you worked on it.\r\n"
                           "If you dont have the plandel installed, press cancel"),
            QStringLiteral("Path where Tamsel Software's Plandel is installed"), QStringLiteral("/opt/tamsel/plandel"));
        if (answer.isEmpty()) {
            path = platform::ProgramFolder();
        } else {
            if (answer.endsWith('/')) answer.chop(1);
            path = ReadIni(answer + "/netplandel.ini", Section::Plandel, Key::DataPath);
        }
    }
    WriteLog("Plandel Files are located in :" + path, 0);
    return path;
}

QString GetPlandelFileNameForDate(const QDate& date) {
    const QString name = PlandelDataPath + "D" + date.toString(QStringLiteral("yyyyMM")) + ".dat";
    if (QFileInfo::exists(name)) return name;
    if (!AppendLineToFile(name, QString(), platform::NewFileOwner::FolderOwner)) {
        WriteLog("ErrGetPlandelFileNameForDate: Cant open " + name, 0);
        platform::MsgBox("Cant open the file " + name + "\r\nMake sure another program is not using it",
                         platform::Buttons::OK, platform::Icon::Critical, QStringLiteral("Problem creating datafile"));
    }
    return name;
}

void AddPlandelRecord(PlandelRecord& record) {
    if (PlandelDataPath.isEmpty() || CurrentDataFile.isEmpty()) {
        QString settings;
        LoadPlandelSettings(settings);
    }
    // A data folder the run may not use, also one that has become another
    // user's link since it was loaded: logged and counted as it was refused.
    if (CurrentDataFile.isEmpty() || dataFolderRefused(PlandelDataPath)) {
        WriteLog("AddPlandelRecord: no data folder to write to - record lost: " + record.Text, 3);
        return;
    }
    QDate date(int(NumericValue(record.EventDate.mid(0, 4))), int(NumericValue(record.EventDate.mid(4, 2))),
               int(NumericValue(record.EventDate.mid(6, 2))));
    // A record without a readable date is filed under today.
    if (!date.isValid()) date = platform::Now().date();
    CurrentDataFile = GetPlandelFileNameForDate(date);
    const platform::FileStatus st = platform::GetFileStatus(CurrentDataFile);
    if (st.exists && !st.isFile) {
        WriteLog("AddPlandelRecord: Cant append to " + CurrentDataFile +
                     " - not a regular file - record lost: " + record.Text,
                 0);
        return;
    }
    if (PlandelRecordExists(record.EventDate, record.EventTime, record.Text)) {
        WriteLog("AddPlandelRecord: Cant add " + record.Text + "  - already exists", 3);
        return;
    }
    const QString separator = PlandelSeparator();
    record.Id = GetUniqueID(CurrentDataFile, date, separator);
    if (record.Id.endsWith(separator)) record.Id.chop(1);
    const QString line = FormatPlandelRecord(record, separator, QString());
    if (line.trimmed().isEmpty()) {
        WriteLog(QStringLiteral("Trying to add blank record - aborting"), 0);
        return;
    }
    WriteLog("AddPlandelRecord (File Append) to " + CurrentDataFile + " - " + line, 3);
    if (!appendRecordLine(CurrentDataFile, line))
        WriteLog("AddPlandelRecord: Cant append to " + CurrentDataFile + " - record lost: " + record.Text, 0);
}

bool PlandelRecordExists(const QString& date, const QString& time, const QString& text) {
    if (CurrentDataFile.isEmpty()) return false;
    const DataFile* file = knownDataFile(CurrentDataFile);
    if (!file) return false;
    const QString sep = PlandelSeparator();
    const QString dateField = sep + date + sep;
    const QString timeField = sep + time + sep;
    const QString fieldOfText = fieldText(text);
    const QString textField = sep + fieldOfText + sep;
    auto matches = [&](const QString& line) {
        return !line.trimmed().isEmpty() && line.indexOf(dateField, 4) >= 0 && line.indexOf(timeField, 8) >= 0 &&
               line.indexOf(textField, 11) >= 0;
    };
    // The text stands between two separators of any line that matches: only
    // the lines holding it as a field need the full test.
    const auto [first, last] = file->fields.equal_range(qHash(QStringView(fieldOfText)));
    for (auto it = first; it != last; ++it)
        if (matches(file->lines[*it])) return true;
    return false;
}

QString FormatPlandelRecord(const PlandelRecord& record, const QString& separator, const QString& terminator) {
    if (record.Id.trimmed().isEmpty() && record.Action.trimmed().isEmpty() && record.EventTime.trimmed().isEmpty() &&
        record.Text.trimmed().isEmpty()) {
        WriteLog("This record does not have an id - " + record.EventDate + " " + record.EventTime + " " + record.Text,
                 3);
        return {};
    }
    static const int order[15] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 4};
    QString line;
    for (int n : order) line += fieldText(record.field(n)) + separator;
    return line + terminator;
}

QString GetUniqueID(const QString& dataFile, const QDate& date, const QString& separator) {
    const DataFile* file = knownDataFile(dataFile);
    if (!file) {
        WriteLog("GetUniqueID : Cant open filename '" + dataFile + "'", 0);
        platform::MsgBox("Cant open filename '" + dataFile + "'");
        return {};
    }
    const QStringList& lines = file->lines;
    // An empty file reads as one whose first line is empty.
    const QString firstLine = lines.isEmpty() ? QString() : lines.first().trimmed();
    QString prefix;
    if (firstLine.isEmpty())
        prefix = GetFileNameFromPath(dataFile).left(1);
    else if (firstLine.startsWith(QLatin1String("ID")))
        prefix = QStringLiteral("C");
    else
        prefix = firstLine.left(1);
    const QString dayText = date.toString(QStringLiteral("yyyyMMdd"));
    const QString key = prefix + dayText;

    // The day's highest sequence; it may have grown past four digits.
    QString greatest;
    if (separator == PlandelSeparator() && key.size() == 9) {
        greatest = file->greatest.value(key).id;
    } else {
        qint64 greatestSequence = -1;
        for (const QString& line : lines) {
            const qsizetype end = line.indexOf(separator);
            const QString id = separator.isEmpty() || end < 0 ? line : line.left(end);
            if (!id.startsWith(key)) continue;
            const qint64 sequence = qint64(NumericValue(id.mid(key.size())));
            if (sequence > greatestSequence) {
                greatestSequence = sequence;
                greatest = id;
            }
        }
    }
    if (greatest.isEmpty()) return key + "0001";
    WriteLog(QStringLiteral("GetUniqueID : old ID = "), 3);
    return createNextID(date, greatest);
}

QString createNextID(const QDate& date, const QString& lastID) {
    if (lastID.isEmpty()) {
        WriteLog(QStringLiteral("createNextID was passed null ID"), 1);
        return {};
    }
    if (date.year() < 1000) {
        WriteLog("createNextID : the year of " + date.toString(Qt::ISODate) + " has less than 4 digits", 0);
        platform::MsgBox(
            QStringLiteral("ERROR - txtYear in getUniqueID is less than 4 digits - what the hell is going on here ?"));
    }
    const QString prefix = lastID.left(1);
    const QString dayText = date.toString(QStringLiteral("yyyyMMdd"));
    qint64 sequence = 1;
    if (lastID.mid(1, 8) == dayText) sequence = qint64(NumericValue(lastID.mid(9))) + 1;
    const QString id = prefix + dayText + QStringLiteral("%1").arg(sequence, 4, 10, QLatin1Char('0'));
    WriteLog("createNextID = " + id, 3);
    return id;
}

void RecordFileToPlandel(const FileListModel::Row& row) {
    const QString& path = row.path;
    const bool full = row.form == FileListModel::RowForm::Full;
    // Rows brought back from failed.txt hold the path alone: the rest comes from the file.
    const QDateTime modified = full && row.timeKnown ? QDateTime::fromSecsSinceEpoch(row.modifiedSecs)
                                                     : platform::GetFileStatus(path).modified();
    const QString name = row.form == FileListModel::RowForm::PathOnly || row.name().isEmpty()
                             ? GetFileNameFromPath(path)
                             : row.name().toString();
    const QString size = full ? GroupedNumber(row.size) : GroupedNumber(qMax<qint64>(GetFileLength(path), 0));

    PlandelRecord record;
    record.EventDate = modified.toString(QStringLiteral("yyyyMMdd"));
    record.Action = full && GetFileExtension(path).toUpper() == QLatin1String("LNK") ? QStringLiteral("View")
                                                                                     : QStringLiteral("Edit");
    record.EventTime = modified.toString(QStringLiteral("HHmm"));
    record.Text = name + " (" + size + " bytes)";
    record.Kind = QStringLiteral("PCFile");
    record.FilePath = path;
    AddPlandelRecord(record);
}

QString PlandelRunText(qint64 files, qint64 bytes, qint64 errors, const QString& destination) {
    QString text = "Corvex copied " + GroupedNumber(bytes, true) + " bytes in " + GroupedNumber(files);
    if (errors >= 1)
        text += " files with " + GroupedNumber(errors) + " errors to the folder " + destination;
    else
        text += " files to the folder " + destination;
    return text;
}

void RecordBackupToPlandel(qint64 files, qint64 bytes, qint64 errors, const QString& destination) {
    QString settings = IniFile;
    LoadPlandelSettings(settings);
    const QDateTime now = platform::Now();
    PlandelRecord record;
    record.EventDate = now.toString(QStringLiteral("yyyyMMdd"));
    record.Action = QStringLiteral("Corvex");
    record.EventTime = now.toString(QStringLiteral("HHmm"));
    record.Text = PlandelRunText(files, bytes, errors, destination);
    record.Kind = QStringLiteral("Batch");
    record.FilePath = platform::ProgramFolder() + '/' + platform::ProgramName();
    AddPlandelRecord(record);
    // The run is over: the next one reads the data files afresh, and meets a
    // refused data folder as a new error.
    dataFiles().clear();
    reportedRefusal().clear();
}
