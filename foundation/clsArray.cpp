#include "foundation/clsArray.h"

#include "foundation/Logging.h"
#include "foundation/NumberText.h"
#include "foundation/cFileIO.h"
#include "platform/ByteText.h"
#include "platform/Dialogs.h"
#include "platform/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <stdexcept>

namespace {

using Fields = std::array<QString, clsArray::MaxFields>;

// Spaces only, as the list files and parsed texts are trimmed elsewhere.
QString trimSpaces(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first] == u' ') ++first;
    while (last > first && s[last - 1] == u' ') --last;
    return s.mid(first, last - first);
}

// Cuts text at every delimiter into fields: field 0 is the text before the
// first delimiter, the last field the text after the last one. Without a
// delimiter field 0 is the whole text. More fields than the array holds end
// the cutting with the fields cut so far; the return value is then false.
bool splitTextIntoFields(Fields& fields, const QString& text, const QString& delimiter) {
    for (QString& f : fields) f.clear();
    if (delimiter.isEmpty() || !text.contains(delimiter)) {
        fields[0] = text;
        return true;
    }
    qsizetype start = 0;
    for (size_t n = 0;; ++n) {
        if (n == fields.size()) return false;
        const qsizetype at = text.indexOf(delimiter, start);
        if (at < 0) {
            fields[n] = text.mid(start);
            return true;
        }
        fields[n] = text.mid(start, at - start);
        start = at + delimiter.size();
    }
}

// Why a file cannot be opened for reading, in the system's words.
QString openFailureReason(const QString& fileName) {
    if (fileName.isEmpty()) return QStringLiteral("No file name given");
    if (QFileInfo(fileName).isDir()) return QStringLiteral("Is a directory");
    QFile probe(fileName);
    if (probe.open(QIODevice::ReadOnly)) return QStringLiteral("File could not be read");
    return probe.errorString();
}

}  // namespace

void clsArray::init(qint32 size) {
    m_count = 0;
    m_items = QStringList();
    // Slots 0 to size; negative sizes are taken as 0 like a size of 0.
    m_items.resize(qsizetype(size < 1 ? 1 : size) + 1);
}

void clsArray::CreateByParsingText(const QString& text, const QString& delimiter) {
    Fields fields;
    if (!splitTextIntoFields(fields, text + delimiter, delimiter))
        WriteLog(QStringLiteral("Error in splitTextIntoFields"), 0);
    for (size_t n = 1; n < fields.size(); ++n) {
        const QString field = trimSpaces(fields[n]);
        if (!field.isEmpty()) Add(field, 1);
    }
}

void clsArray::Sort(const QString&) {}

qint32 clsArray::LoadFromDisk(const QString& fileName, bool showMessage) {
    cFileIO file;
    file.init(fileName);
    file.openFile(QStringLiteral("INPUT"));
    if (!file.isOpen()) {
        platform::MsgBox("Error loading file from disk to Array\r\n" + openFailureReason(fileName));
        return -1;
    }
    qint32 lines = 0;
    for (;;) {
        const QString line = file.getLine();
        if (!file.moreData()) break;  // the read that meets the end gives no line
        Add(line, 1);
        ++lines;
    }
    file.closeFile();
    if (showMessage) platform::MsgBox("Read in " + GroupedNumber(lines, true) + " lines \r\n from file " + fileName);
    return lines;
}

bool clsArray::SaveToDisk(const QString& fileName) const {
    // Lines go back as the bytes they were read from, text in other encodings
    // included (platform/ByteText.h).
    QByteArray data;
    for (qint32 i = 1; i <= m_count; ++i) data += platform::BytesFromText(m_items[i]) + "\r\n";
    QString why;
    if (platform::ReplaceFile(fileName, data, &why)) return true;
    WriteLog("SaveToDisk : cant write the file " + fileName + " - " + why, 0);
    return false;
}

void clsArray::DisplayInListView(QTreeWidget*, bool) {}

qint32 clsArray::GetIndexByText(const QString& text, qint32, bool caseSensitive) const {
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qint32 i = 1; i <= m_count; ++i)
        if (m_items[i].compare(text, cs) == 0) return i;
    return 0;
}

void clsArray::Remove(qint32) {}

void clsArray::Add(const QString& text, qint32 index) {
    if (index != 1) platform::MsgBox(QStringLiteral("ndx isnt setup to add at specific point yet"));
    ++m_count;
    m_items.resize(qsizetype(m_count) + 1);
    m_items[m_count] = text;
}

void clsArray::setCount(qint32 count) {
    if (count < 0) throw std::out_of_range("clsArray: a count cannot be negative (" + std::to_string(count) + ")");
    m_count = count;
    m_items.resize(qsizetype(count) + 1);
}

void clsArray::checkIndex(qint32 index) const {
    if (index < 0 || index >= m_items.size())
        throw std::out_of_range("clsArray: item " + std::to_string(index) + " is out of range (count " +
                                std::to_string(m_count) + ")");
}

QString clsArray::Item(qint32 index) const {
    checkIndex(index);
    return m_items[index];
}

void clsArray::setItem(qint32 index, const QString& text) {
    checkIndex(index);
    m_items[index] = text;
}
