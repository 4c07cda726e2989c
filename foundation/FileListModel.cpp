#include "foundation/FileListModel.h"

#include "foundation/CollatedOrder.h"
#include "foundation/FileRoutines.h"
#include "foundation/NumberText.h"
#include "platform/FileStatus.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// Rows the scan adds are shown to the views in batches of this many: telling
// a view of each row on its own costs more than listing the file.
constexpr int kShowBatch = 4096;

const char* const kHeaders[] = {"Path and Filename", "Filename", "Path", "Size", "Type", "Modified", "Comments"};
constexpr int kHeaderCount = int(sizeof kHeaders / sizeof kHeaders[0]);

qint32 nameStartOf(const QString& path) { return qint32(path.lastIndexOf(u'/') + 1); }

// Where a value sorts among the column's: below 0 before, above 0 after.
template <typename T>
int compareValues(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A row's time for sorting: an unknown time sorts before every known one, as
// its empty text did.
std::pair<bool, qint64> timeKey(const FileListModel::Row& r) { return {r.timeKnown, r.modifiedSecs}; }

}  // namespace

QString FileSizeText(qint64 size) { return GroupedNumber(size).leftJustified(11, u' '); }

FileListModel::FileListModel(QObject* parent) : QAbstractItemModel(parent) {
    // Without a language ("C") the common order of the world's scripts
    // serves: Qt's own "C" order would not ignore case in every comparison.
    if (QLocale().language() == QLocale::C) m_collator.setLocale(QLocale(QLocale::English));
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int FileListModel::compareRows(int a, int b, int column) const {
    const bool hasA = hasText(a, column);
    const bool hasB = hasText(b, column);
    if (!hasA || !hasB) return int(!hasA) - int(!hasB);
    const Row& ra = m_rows[size_t(a)];
    const Row& rb = m_rows[size_t(b)];
    switch (column) {
    case PathColumn: return m_collator.compare(ra.path, rb.path);
    case NameColumn: return m_collator.compare(ra.name(), rb.name());
    case FolderColumn: return m_collator.compare(ra.folder(), rb.folder());
    case SizeColumn: return compareValues(ra.size, rb.size);
    case TypeColumn: return m_collator.compare(text(a, column), text(b, column));
    case ModifiedColumn: return compareValues(timeKey(ra), timeKey(rb));
    default: return 0;
    }
}

bool FileListModel::hasText(int row, int column) const {
    if (row < 0 || row >= count() || column < 0 || column >= kColumns) return false;
    switch (m_rows[size_t(row)].form) {
    case RowForm::Full: return true;
    case RowForm::Short: return column <= NameColumn;
    case RowForm::PathOnly: return column == PathColumn;
    }
    return false;
}

QString FileListModel::text(int row, int column) const {
    if (!hasText(row, column)) return {};
    const Row& r = m_rows[size_t(row)];
    switch (column) {
    case PathColumn: return r.path;
    case NameColumn: return r.name().toString();
    case FolderColumn: return r.folder().toString();
    case SizeColumn: return FileSizeText(r.size);
    case TypeColumn: return GetFileExtension(r.path).toUpper();
    case ModifiedColumn: return r.timeKnown ? platform::LocalMinuteText(r.modifiedSecs) : QString();
    default: return QStringLiteral("");
    }
}

void FileListModel::addFullRow(const QString& folderSlash, const QString& name, const platform::FileStatus& status,
                               bool ticked) {
    Row row;
    row.path = folderSlash + name;
    row.nameStart = qint32(folderSlash.size());
    row.size = status.isFile || status.isLink ? status.size : 0;
    row.modifiedSecs = status.modifiedSecs;
    row.timeKnown = status.exists;
    row.form = RowForm::Full;
    row.ticked = ticked;
    add(std::move(row));
}

void FileListModel::addShortRow(const QString& folderSlash, const QString& name, bool ticked) {
    Row row;
    row.path = folderSlash + name;
    row.nameStart = qint32(folderSlash.size());
    row.form = RowForm::Short;
    row.ticked = ticked;
    add(std::move(row));
}

void FileListModel::addPathRow(const QString& path, bool ticked) {
    Row row;
    row.path = path;
    row.nameStart = nameStartOf(path);
    row.form = RowForm::PathOnly;
    row.ticked = ticked;
    add(std::move(row));
}

// A longer text than the last is rare after the first rows, so a text is
// copied only then; the lengths are compared without making the texts.
void FileListModel::noteLength(const Row& row) {
    if (row.form == RowForm::PathOnly) return;
    if (row.path.size() - row.nameStart > m_longestName.size()) m_longestName = row.name().toString();
    if (row.form != RowForm::Full) return;
    if (row.nameStart > m_longestFolder.size()) m_longestFolder = row.folder().toString();
    const qsizetype dot = row.path.lastIndexOf(u'.');
    if (dot >= 0 && row.path.size() - dot - 1 > m_longestType.size())
        m_longestType = GetFileExtension(row.path).toUpper();
    m_largestSize = std::max(m_largestSize, row.size);
}

QString FileListModel::longestText(int column) const {
    switch (column) {
    case NameColumn: return m_longestName;
    case FolderColumn: return m_longestFolder;
    case SizeColumn: return m_largestSize < 0 ? QString() : GroupedNumber(m_largestSize);
    case TypeColumn: return m_longestType;
    default: return {};
    }
}

void FileListModel::add(Row&& row) {
    noteLength(row);
    if (!m_sorting) {
        m_rows.push_back(std::move(row));
        if (count() - m_shown >= kShowBatch) showAddedRows();
        return;
    }
    // In a sorted list the row goes after the rows whose text equals its own,
    // as if it were appended and the list sorted again.
    showAddedRows();
    m_rows.push_back(std::move(row));
    const int added = count() - 1;
    int low = 0;
    int high = added;
    const auto less = [this](int a, int b) { return compareRows(a, b, m_sortColumn) < 0; };
    const auto comesBefore = [&](int a, int b) { return m_sortOrder == Qt::AscendingOrder ? less(a, b) : less(b, a); };
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (comesBefore(added, mid))
            high = mid;
        else
            low = mid + 1;
    }
    Row last = std::move(m_rows.back());
    m_rows.pop_back();
    beginInsertRows({}, low, low);
    m_rows.insert(m_rows.begin() + low, std::move(last));
    ++m_shown;
    endInsertRows();
}

void FileListModel::showAddedRows() {
    if (m_shown >= count()) return;
    beginInsertRows({}, m_shown, count() - 1);
    m_shown = count();
    endInsertRows();
}

void FileListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_shown = 0;
    m_longestName.clear();
    m_longestFolder.clear();
    m_longestType.clear();
    m_largestSize = -1;
    endResetModel();
}

void FileListModel::setTicked(int row, bool ticked) {
    if (row < 0 || row >= count() || m_rows[size_t(row)].ticked == ticked) return;
    m_rows[size_t(row)].ticked = ticked;
    if (row < m_shown) {
        const QModelIndex at = index(row, PathColumn);
        Q_EMIT dataChanged(at, at, {Qt::CheckStateRole});
    }
}

void FileListModel::setSortingEnabled(bool on) {
    if (on == m_sorting) return;
    m_sorting = on;
    if (on) sortRows();
}

void FileListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumns) return;
    m_sortColumn = column;
    m_sortOrder = order;
    sortRows();
}

void FileListModel::sortRows() {
    showAddedRows();
    const int n = count();
    if (n < 2) return;
    const int column = m_sortColumn;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    // order[i] is the row that goes to place i.
    std::vector<int> order;
    if (column == PathColumn || column == NameColumn || column == FolderColumn || column == TypeColumn) {
        // A row without the column's text sorts after every text, the rows
        // without it in list order. Usually every row has it: then no list
        // of the rows with it is made.
        std::vector<int> with;
        std::vector<int> without;
        for (int i = 0; i < n; ++i) {
            if (hasText(i, column)) {
                if (!without.empty()) with.push_back(i);
            } else {
                if (without.empty()) {
                    with.resize(size_t(i));
                    std::iota(with.begin(), with.end(), 0);
                }
                without.push_back(i);
            }
        }
        const int withCount = without.empty() ? n : int(with.size());
        const auto rowOf = [&](int i) { return without.empty() ? i : with[size_t(i)]; };
        // The type column's texts are made once for the sort; the others are
        // parts of the path.
        std::vector<QString> types;
        if (column == TypeColumn) {
            types.reserve(size_t(withCount));
            for (int i = 0; i < withCount; ++i) types.push_back(text(rowOf(i), column));
        }
        const auto textOf = [&](int i) -> QStringView {
            const Row& r = m_rows[size_t(rowOf(i))];
            switch (column) {
            case PathColumn: return r.path;
            case NameColumn: return r.name();
            case FolderColumn: return r.folder();
            default: return types[size_t(i)];
            }
        };
        order = CollatedOrder(withCount, textOf, m_collator, descending);
        if (!without.empty()) {
            for (int& i : order) i = with[size_t(i)];
            order.insert(descending ? order.begin() : order.end(), without.begin(), without.end());
        }
    } else {
        order.resize(size_t(n));
        std::iota(order.begin(), order.end(), 0);
        const auto less = [&](int a, int b) { return compareRows(a, b, column) < 0; };
        if (descending)
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
        else
            std::stable_sort(order.begin(), order.end(), less);
    }

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> where;  // where each row went
    if (!before.isEmpty()) {
        where.resize(size_t(n));
        for (int i = 0; i < n; ++i) where[size_t(order[size_t(i)])] = i;
    }
    // The rows move in place, cycle by cycle: a sorted copy would hold every
    // row twice at once.
    for (int start = 0; start < n; ++start) {
        if (order[size_t(start)] == start) continue;
        Row held = std::move(m_rows[size_t(start)]);
        int at = start;
        for (;;) {
            const int from = order[size_t(at)];
            order[size_t(at)] = at;
            if (from == start) {
                m_rows[size_t(at)] = std::move(held);
                break;
            }
            m_rows[size_t(at)] = std::move(m_rows[size_t(from)]);
            at = from;
        }
    }
    if (!before.isEmpty()) {
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before) after.append(createIndex(where[size_t(old.row())], old.column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex FileListModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= m_shown || column < 0 || column >= kColumns) return {};
    return createIndex(row, column);
}

QModelIndex FileListModel::parent(const QModelIndex& /*child*/) const { return {}; }

int FileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_shown; }

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown) return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (!hasText(row, column)) return {};
        // Sizes are shown right-aligned, without the blanks that pad their text.
        if (column == SizeColumn) return GroupedNumber(m_rows[size_t(row)].size);
        return text(row, column);
    case Qt::CheckStateRole:
        if (column != PathColumn || !m_checkBoxes) return {};
        return m_rows[size_t(row)].ticked ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (column == SizeColumn) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default: return {};
    }
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= m_shown || role != Qt::CheckStateRole || index.column() != PathColumn ||
        !m_checkBoxes)
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == PathColumn && m_checkBoxes) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) return section < kHeaderCount ? QString::fromLatin1(kHeaders[section]) : QString();
    if (role == Qt::TextAlignmentRole && section == SizeColumn)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}
