#pragma once
// The column widths of the main window's file list (a view of a
// FileListModel). Size, Type, Modified and Comments are as wide as their
// widest text; Filename as its widest name, up to a share of the view; Path
// as its widest folder, up to half of what the two path columns are left (a
// few characters at least); "Path and Filename" takes the rest. No column is
// narrower than its header text (with room for the sort mark, so a sort moves
// no column), and where the columns need more than the view, the list scrolls
// sideways. A column the user has sized keeps that width for as long as the
// view lives.
#include <QObject>

#include <array>

class FileListModel;
class QTreeView;

// "Path and Filename" to "Comments"; the model's further columns stay hidden.
inline constexpr int kShownFileColumns = 7;
using FileColumnWidthList = std::array<int, kShownFileColumns>;

// What the columns need, in pixels.
struct FileColumnNeeds {
    FileColumnWidthList header{};  // each header text whole
    FileColumnWidthList text{};    // each column's widest text whole (0: no text)
    int charWidth = 8;             // an average character
};

// The widths of the shown columns in a view viewWidth pixels wide. A column
// whose kept width is above 0 keeps it; the others are fitted around it.
FileColumnWidthList FileColumnWidths(const FileColumnNeeds& needs, int viewWidth, const FileColumnWidthList& kept);

// Lays out the view's columns now, again whenever the view's width or font
// changes, and on fitToRows(); it notes the widths the user gives columns.
class FileListColumns : public QObject {
    Q_OBJECT
public:
    FileListColumns(QTreeView* view, FileListModel* rows);

    // Measures the texts again and lays the columns out: call it once the rows
    // have changed (a whole list, not each row: the scan is not held up).
    void fitToRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void measure();
    void layOut();

    QTreeView* m_view;

    QWidget* m_viewport = nullptr;  // the view's viewport, known apart from the view
    FileListModel* m_rows;
    FileColumnNeeds m_needs;
    FileColumnWidthList m_userWidths{};  // 0 for a column the user has not sized
    bool m_layingOut = false;            // the widths being set are this object's own
};
