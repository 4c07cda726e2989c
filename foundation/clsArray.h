#pragma once
// A growable list of strings numbered from 1, loaded from and saved to a text
// file of one item per line, or built from delimited text. The storage also
// holds an empty slot 0 that the class never fills.
#include <QString>
#include <QStringList>

class QTreeWidget;

class clsArray {
public:
    // At most this many fields are cut from one parsed text (fields 0 to 99).
    static constexpr int MaxFields = 100;

    // Empties the list and prepares slots 0 to size (a size of 0 counts as 1);
    // until the first Add, Item may read and write those slots.
    void init(qint32 size = 0);

    // Appends the trimmed, non-empty fields of text cut at delimiter, leaving
    // out the text before the first delimiter: "a;b;c" with ";" appends "b"
    // and "c". A text without the delimiter (or an empty delimiter) appends
    // nothing. Beyond MaxFields fields the cutting stops with a program-log
    // line and the fields cut so far are appended.
    void CreateByParsingText(const QString& text, const QString& delimiter);

    // Does nothing.
    void Sort(const QString& key);

    // Appends every line of the file; returns the number read. A file that
    // cannot be read shows "Error loading file from disk to Array" with the
    // reason and returns -1. showMessage: a box tells how many lines were read.
    // Bytes that are not UTF-8 are carried without loss (platform/ByteText.h).
    qint32 LoadFromDisk(const QString& fileName, bool showMessage = false);

    // Writes items 1 to Count, one per line (CR LF), replacing the file; a line
    // read from a file goes back as the bytes it was read from. The file is
    // replaced only once every line is written and flushed to the disk, so a
    // failed save keeps the old file. False (and a program-log line) on failure.
    bool SaveToDisk(const QString& fileName) const;

    // Does nothing.
    void DisplayInListView(QTreeWidget* listView, bool clearFirst = false);

    // The number of the first item equal to text, compared in upper case
    // unless caseSensitive; 0 when none. The search always starts at item 1:
    // startIndex is accepted and not used.
    qint32 GetIndexByText(const QString& text, qint32 startIndex = 1, bool caseSensitive = false) const;

    // Does nothing.
    void Remove(qint32 index);

    // Appends text as the new last item. An index other than 1 first shows
    // "ndx isnt setup to add at specific point yet"; the text is appended all
    // the same.
    void Add(const QString& text, qint32 index = 1);

    qint32 Count() const { return m_count; }
    // Shortens or grows the list to count items (new items are empty); a
    // negative count throws std::out_of_range.
    void setCount(qint32 count);

    // The item at index. Slot 0 and items 1 to Count are in range (and, between
    // init and the first Add, the slots init prepared); any other index throws
    // std::out_of_range.
    QString Item(qint32 index) const;
    void setItem(qint32 index, const QString& text);

private:
    void checkIndex(qint32 index) const;

    QStringList m_items{QString()};  // slot 0 and the items
    qint32 m_count = 0;
};
