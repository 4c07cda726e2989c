#pragma once
// Moving rows between list controls and list files, and between list controls.
//
// List controls: a list box is a QListWidget and a combo box a QComboBox, both
// ordered text rows; a list view is a QTreeWidget whose rows are its top-level
// items (column 0 the row text, column n sub-item n, the item's check state the
// ticked flag), or a view over a FileListModel (the main window's file list),
// whose rows read from a file hold the path alone. Any other kind of control
// counts as a list view.
//
// List files: UTF-8, one row per line, every line ended by CR LF; bytes that
// are not UTF-8 are carried without loss (platform/ByteText.h); readers take
// CR LF and LF. Empty lines are skipped on reading. A list-view row is written
// as its text, then "," and sub-item 1 when that is not empty; on reading into
// a list view one trailing "," is dropped and lines are never split.
#include "platform/SaveFile.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class QTreeWidget;

// Fills control from the list file. mode 1 appends to its rows; any other value
// replaces them. "" does nothing; a missing (or hidden, or non-regular) file is
// logged at level 3 and leaves the control as it is. A file that cannot be read
// also leaves the control as it is. Rows read into a list view are checked.
// False when the file is missing or cannot be read.
bool LoadFileToListBox(QWidget* control, const QString& fileName, int mode);

// The same, telling a list file that is not there at all (Missing: nothing
// at its path) from one that is there but cannot be read as a list
// (Unreadable: no permission, a folder, hidden or a special file in its place).
// "" counts as Loaded.
enum class ListFileLoad { Loaded, Missing, Unreadable };
ListFileLoad LoadListFile(QWidget* control, const QString& fileName, int mode);

// The list-file reader and writer every list goes through.
// ReadListFile sets lines to the file's lines (empty unless Loaded); a missing
// file is logged at level 3, as for LoadListFile. Run as root, a list reached
// through a link that root does not own is not read (platform/TrustedLinks.h):
// Unreadable, with a level-0 line naming the link and its owner.
ListFileLoad ReadListFile(const QString& fileName, QStringList& lines);
// Replaces the file whole with lines (platform/SaveFile.h: a temporary file
// renamed over it once complete; a special file in its place is refused, and
// a link too unless links says to save through it to its target). A line that holds a line break reads back as two.
// False, with the reason in why, when the file was left as it was.
bool WriteListFile(const QString& fileName, const QStringList& lines, QString* why,
                   platform::LinkRule links = platform::LinkRule::Refuse);

// Writes every row of control to the file, replacing it. lineCount is set to 0
// at entry and then counts the rows handed to the file. The file is replaced
// only once every line is written and flushed to the disk, so a failed save (a
// full disk, a read-only list file) keeps the earlier list as it was. A failure
// is logged at level 0 with the file's name and then shown in a message box.
// Rows read from a file go back as the bytes they were read from. A link at
// the file's name is refused (the lists a run keeps for itself) unless links
// is SaveThrough (the user's own lists, saved through the link as an editor
// does). True when the file now holds the rows; false after a failure (also
// for an empty name).
bool SaveListboxToFile(QWidget* control, const QString& fileName, int& lineCount,
                       platform::LinkRule links = platform::LinkRule::Refuse);
bool SaveListboxToFile(QWidget* control, const QString& fileName,
                       platform::LinkRule links = platform::LinkRule::Refuse);

// Clears destination (list box, combo box or list view) and copies the rows of
// the source list view into it in order; list-view rows keep their ticks.
void CopyListItems(QWidget* source, QWidget* destination);

// Removes from a list box or list view every row whose text contains fragment,
// letter case counting. An empty fragment removes nothing; a combo box is left
// unchanged.
void RemoveListItemsContaining(const QString& fragment, QWidget* list);

// ---- Helpers for code that handles list controls of any kind.

// The row texts of a list box, combo box or list view, first to last.
QStringList ListRowTexts(QWidget* control);

// Appends one row: a list-box or combo-box row, or a list-view row with that
// text (unticked when the list view has check boxes).
void AddListRow(QWidget* control, const QString& text);

// Removes every list-box or list-view row whose text satisfies remove, keeping
// the order of the others. Fast for long lists.
void RemoveListRowsWhere(QWidget* list, const std::function<bool(const QString&)>& remove);

// A list view has check boxes when it is marked so, or, unmarked, when its rows
// carry a check state. Marking lets an empty list view have check boxes.
bool ListViewHasCheckBoxes(const QTreeWidget* listView);
void SetListViewCheckBoxes(QTreeWidget* listView, bool on);
