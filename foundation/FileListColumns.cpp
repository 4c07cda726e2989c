#include "foundation/FileListColumns.h"

#include "foundation/FileListModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace {

// Besides the longest texts, which the model notes, the rows at the top of the
// list and rows spread over the rest are measured, so that a text of wide
// letters is seen too. Measuring every row would hold a long list up for
// seconds.
constexpr int kTopRows = 100;
constexpr int kSpreadRows = 100;
// A name this long (in average characters) is shown whole however narrow the
// view, which scrolls sideways instead; a longer one is shown whole up to two
// fifths of the view.
constexpr int kWholeNameChars = 40;
// The folder column shows this much of a long folder at the least.
constexpr int kLeastFolderChars = 12;

// The width a header needs besides its text: its margins and the sort mark,
// as the style lays them out.
int headerTextRoom(const QHeaderView* header) {
    QStyleOptionHeader option;
    option.initFrom(header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.sortIndicator = QStyleOptionHeader::SortDown;
    constexpr int probe = 1000;
    option.rect = QRect(0, 0, probe, header->sizeHint().height());
    return probe - header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width() + 1;
}

// The rows measured in a list of n rows, in list order.
std::vector<int> measuredRows(int n) {
    std::vector<int> rows;
    for (int r = 0; r < std::min(n, kTopRows); ++r) rows.push_back(r);
    if (n > kTopRows)
        for (int i = 0; i < kSpreadRows; ++i) rows.push_back(int(qint64(i) * n / kSpreadRows));
    return rows;
}

}  // namespace

FileColumnWidthList FileColumnWidths(const FileColumnNeeds& needs, int viewWidth, const FileColumnWidthList& kept) {
    FileColumnWidthList widths{};
    const auto fitted = [&](int column, int wanted) {
        return kept[size_t(column)] > 0 ? kept[size_t(column)] : std::max(needs.header[size_t(column)], wanted);
    };
    for (const int c : {FileListModel::SizeColumn, FileListModel::TypeColumn, FileListModel::ModifiedColumn,
                        FileListModel::CommentsColumn})
        widths[size_t(c)] = fitted(c, needs.text[size_t(c)]);
    constexpr auto name = size_t(FileListModel::NameColumn);
    const int nameShare = std::max(viewWidth * 2 / 5, kWholeNameChars * needs.charWidth);
    widths[name] = fitted(int(name), std::min(needs.text[name], nameShare));

    int taken = 0;
    for (const int w : widths) taken += w;
    // The two path columns share what is left: the folder up to half of it,
    // leaving "Path and Filename" its header, yet a few characters at least.
    constexpr auto folder = size_t(FileListModel::FolderColumn);
    const int left = viewWidth - taken;
    const int folderShare = std::max(std::min(left / 2, left - needs.header[0]), kLeastFolderChars * needs.charWidth);
    widths[folder] = fitted(int(folder), std::min(needs.text[folder], folderShare));
    widths[0] = fitted(0, viewWidth - taken - widths[folder]);
    return widths;
}

FileListColumns::FileListColumns(QTreeView* view, FileListModel* rows) : QObject(view), m_view(view), m_rows(rows) {
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int /*old*/, int size) {
        if (!m_layingOut && column < kShownFileColumns && size > 0) m_userWidths[size_t(column)] = size;
    });
    m_viewport = view->viewport();
    m_viewport->installEventFilter(this);
    view->installEventFilter(this);
    fitToRows();
}

void FileListColumns::fitToRows() {
    measure();
    layOut();
}

bool FileListColumns::eventFilter(QObject* watched, QEvent* event) {
    // The type first: a view being destroyed still sends events, and is no
    // tree view any more by then.
    if (event->type() == QEvent::Resize && watched == m_viewport) {
        // A scroll bar coming or going across the bottom leaves the width as it was.
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() != resize->oldSize().width()) layOut();
    } else if (event->type() == QEvent::FontChange && watched == m_view) {
        fitToRows();
    }
    return QObject::eventFilter(watched, event);
}

void FileListColumns::measure() {
    const QHeaderView* header = m_view->header();
    const QFontMetrics captions = header->fontMetrics();
    const int headerRoom = headerTextRoom(header);
    for (int c = 0; c < kShownFileColumns; ++c)
        m_needs.header[size_t(c)] =
            captions.horizontalAdvance(m_rows->headerData(c, Qt::Horizontal).toString()) + headerRoom;

    // A cell's text stands inside the style's margin on either side; an
    // average character more keeps the columns' texts apart.
    const QFontMetrics texts = m_view->fontMetrics();
    m_needs.charWidth = std::max(1, texts.averageCharWidth());
    const int textMargin = m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1;
    const int textRoom = 2 * textMargin + m_needs.charWidth;
    const std::vector<int> rows = measuredRows(m_rows->rowCount());
    for (int c = 1; c < kShownFileColumns; ++c) {
        int widest = 0;
        const auto see = [&](const QString& text) {
            if (!text.isEmpty()) widest = std::max(widest, texts.horizontalAdvance(text) + textRoom);
        };
        see(m_rows->longestText(c));
        for (const int r : rows) see(m_rows->data(m_rows->index(r, c)).toString());
        m_needs.text[size_t(c)] = widest;
    }
}

void FileListColumns::layOut() {
    const FileColumnWidthList widths = FileColumnWidths(m_needs, m_view->viewport()->width(), m_userWidths);
    QHeaderView* header = m_view->header();
    const QScopedValueRollback ownWidths(m_layingOut, true);
    for (int c = 0; c < kShownFileColumns; ++c) header->resizeSection(c, widths[size_t(c)]);
}
