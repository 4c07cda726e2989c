#pragma once
// The main window's file list: one row of values per file a backup would
// copy. The fourteen columns of the list view ("Path and Filename",
// "Filename", "Path", "Size", "Type", "Modified", "Comments" and seven empty
// ones) are drawn from those values when they are asked for, so a row costs
// its path and a few numbers however many columns it shows.
//
// Rows added while sorting is off (the scan fills the list that way) are held
// back from the views and shown in batches; count() and row() see them at once.
#include <QAbstractItemModel>
#include <QCollator>
#include <QString>
#include <QStringView>

#include <vector>

namespace platform {
struct FileStatus;
}

class FileListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Which columns a row has: every one (a row of the scan), the path and
    // the name (a scan without details), or the path alone (a list file read
    // back). A column a row does not have has no text, not even an empty one.
    enum class RowForm : unsigned char { Full, Short, PathOnly };

    struct Row {
        QString path;             // the file's full path
        qint64 size = 0;          // bytes (Full rows)
        qint64 modifiedSecs = 0;  // last-modified time, seconds since 1970 UTC (Full rows)
        qint32 nameStart = 0;     // where the file name begins in path; the folder (with "/") precedes it
        RowForm form = RowForm::PathOnly;
        bool ticked = false;
        bool timeKnown = false;  // the file's time could be read (Full rows); else "Modified" is ""

        QStringView name() const { return QStringView(path).mid(nameStart); }
        QStringView folder() const { return QStringView(path).left(nameStart); }
    };

    enum Column { PathColumn, NameColumn, FolderColumn, SizeColumn, TypeColumn, ModifiedColumn, CommentsColumn };
    static constexpr int kColumns = 14;

    explicit FileListModel(QObject* parent = nullptr);

    // Every row in list order, also those not yet shown.
    int count() const { return int(m_rows.size()); }
    const Row& row(int i) const { return m_rows[size_t(i)]; }
    const std::vector<Row>& rows() const { return m_rows; }
    // A column's text as the list holds it (the size padded to 11 characters);
    // hasText is false, and text "", for a column the row does not have.
    QString text(int row, int column) const;
    bool hasText(int row, int column) const;

    // folderSlash ends in "/"; the path is folderSlash + name. The size and
    // time come from status (size 0 unless a regular file or a symbolic link,
    // no time unless it exists).
    void addFullRow(const QString& folderSlash, const QString& name, const platform::FileStatus& status, bool ticked);
    void addShortRow(const QString& folderSlash, const QString& name, bool ticked);
    void addPathRow(const QString& path, bool ticked);
    void clear();
    // Ticking a shown row tells the views (dataChanged with Qt::CheckStateRole).
    void setTicked(int row, bool ticked);

    // Of the texts the views show in column, one with the most characters ("" when
    // no row has one), kept for the columns whose texts differ in length:
    // Filename, Path, Size and Type. It is noted as rows are added, so a view
    // can fit a column to its texts without reading every row.
    QString longestText(int column) const;

    // Whether rows show a check box (on unless switched off).
    bool hasCheckBoxes() const { return m_checkBoxes; }
    void setCheckBoxes(bool on) { m_checkBoxes = on; }

    // Sorting compares sizes as numbers, times as times (an unknown time
    // before every other) and texts as the user's language orders them,
    // without case; the order of equal values is kept, and a column a row
    // lacks sorts after every value. sort() sorts the
    // rows once, whether sorting is on or not, and keeps column and order.
    // While sorting is on, added rows take their place in the order at once;
    // switching it on sorts by the last column and order (column 0 ascending
    // at first).
    void setSortingEnabled(bool on);
    bool isSortingEnabled() const { return m_sorting; }
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Shows the views the rows added since they were last told.
    void showAddedRows();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void add(Row&& row);
    void noteLength(const Row& row);
    void sortRows();
    // Below 0 when row a sorts before row b in ascending order of column.
    int compareRows(int a, int b, int column) const;

    std::vector<Row> m_rows;
    int m_shown = 0;  // rows the views know of: the first m_shown
    bool m_checkBoxes = true;
    bool m_sorting = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QCollator m_collator;  // the text columns' order
    // The longest texts of the rows added since the last clear().
    QString m_longestName;
    QString m_longestFolder;
    QString m_longestType;
    qint64 m_largestSize = -1;  // none
};

// A size as the file list shows it: digits grouped by the system's thousands
// separator ("0" for nothing), padded on the right to 11 characters (a longer
// text is kept whole).
QString FileSizeText(qint64 size);
