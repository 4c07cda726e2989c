#include "foundation/ListFiles.h"

#include "foundation/FileListModel.h"
#include "foundation/Logging.h"
#include "platform/ByteText.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/SaveFile.h"
#include "platform/TrustedLinks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTreeWidget>

namespace {

const char* const kCheckBoxesProperty = "corvexCheckBoxes";

// The lines of a list file's bytes: CR LF or LF ends a line, empty lines are dropped.
QStringList listFileLines(const QByteArray& bytes) {
    QStringList lines;
    // Bytes that are not UTF-8 are carried without loss, so a list saved
    // again holds every line as it was read.
    const QString text = platform::TextFromBytes(bytes);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        qsizetype stop = end;
        if (stop > start && text[stop - 1] == u'\r') --stop;
        if (stop > start) lines.append(text.mid(start, stop - start));
        start = end + 1;
    }
    return lines;
}

QTreeWidgetItem* newListViewRow(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    return item;
}

// The rows of a view over a file list (the main window's lvwFiles).
FileListModel* fileListOf(QWidget* control) {
    auto* view = qobject_cast<QAbstractItemView*>(control);
    return view ? qobject_cast<FileListModel*>(view->model()) : nullptr;
}

void reportSaveFailure(const QString& fileName, int number, const QString& description) {
    // The line comes first: an unattended run may wait at the box for ever.
    // The number is written with its sign position, a blank for a positive one.
    WriteLog("ErrorSaveListboxToFile: " + QString(number < 0 ? "" : " ") + QString::number(number) + " = " +
                 description + " while saving '" + fileName + "' - the file was left as it was",
             0);
    platform::MsgBox("An Error occurred in SaveListboxToFile: " + QString::number(number) + " = " + description +
                     " while saving '" + fileName + "'");
}

}  // namespace

// ---------------------------------------------------------------------------

bool ListViewHasCheckBoxes(const QTreeWidget* listView) {
    if (!listView) return false;
    const QVariant mark = listView->property(kCheckBoxesProperty);
    if (mark.isValid()) return mark.toBool();
    // Rows of one list either all carry a check state or none do.
    return listView->topLevelItemCount() > 0 && listView->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid();
}

void SetListViewCheckBoxes(QTreeWidget* listView, bool on) {
    if (listView) listView->setProperty(kCheckBoxesProperty, on);
}

QStringList ListRowTexts(QWidget* control) {
    QStringList texts;
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        texts.reserve(list->count());
        for (int i = 0; i < list->count(); ++i) texts.append(list->item(i)->text());
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < combo->count(); ++i) texts.append(combo->itemText(i));
    } else if (auto* view = qobject_cast<QTreeWidget*>(control)) {
        texts.reserve(view->topLevelItemCount());
        for (int i = 0; i < view->topLevelItemCount(); ++i) texts.append(view->topLevelItem(i)->text(0));
    } else if (const FileListModel* files = fileListOf(control)) {
        texts.reserve(files->count());
        for (const FileListModel::Row& row : files->rows()) texts.append(row.path);
    }
    return texts;
}

void AddListRow(QWidget* control, const QString& text) {
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        list->addItem(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->addItem(text);
    } else if (auto* view = qobject_cast<QTreeWidget*>(control)) {
        const bool boxes = ListViewHasCheckBoxes(view);
        QTreeWidgetItem* item = newListViewRow(text);
        if (boxes) item->setCheckState(0, Qt::Unchecked);
        view->addTopLevelItem(item);
    }
}

void RemoveListRowsWhere(QWidget* list, const std::function<bool(const QString&)>& remove) {
    // Taking rows out one by one from the middle costs a shift each time; with
    // long lists it is cheaper to take every row and put back the kept ones.
    if (auto* box = qobject_cast<QListWidget*>(list)) {
        bool any = false;
        for (int i = 0; i < box->count() && !any; ++i) any = remove(box->item(i)->text());
        if (!any) return;
        QList<QListWidgetItem*> kept;
        while (box->count() > 0) {
            QListWidgetItem* item = box->takeItem(box->count() - 1);
            if (remove(item->text()))
                delete item;
            else
                kept.prepend(item);
        }
        for (QListWidgetItem* item : kept) box->addItem(item);
    } else if (auto* view = qobject_cast<QTreeWidget*>(list)) {
        bool any = false;
        for (int i = 0; i < view->topLevelItemCount() && !any; ++i) any = remove(view->topLevelItem(i)->text(0));
        if (!any) return;
        QList<QTreeWidgetItem*> all = view->invisibleRootItem()->takeChildren();
        QList<QTreeWidgetItem*> kept;
        kept.reserve(all.size());
        for (QTreeWidgetItem* item : all) {
            if (remove(item->text(0)))
                delete item;
            else
                kept.append(item);
        }
        view->addTopLevelItems(kept);
    }
}

// ---------------------------------------------------------------------------

bool LoadFileToListBox(QWidget* control, const QString& fileName, int mode) {
    return LoadListFile(control, fileName, mode) == ListFileLoad::Loaded;
}

ListFileLoad ReadListFile(const QString& fileName, QStringList& lines) {
    lines.clear();
    QByteArray bytes;
    QString why;
    // A hidden file does not count as a list file.
    const bool hidden = QFileInfo(fileName).fileName().startsWith(u'.');
    const bool hiddenThere = hidden && (platform::GetFileStatus(fileName).exists || platform::IsSymbolicLink(fileName));
    const platform::TrustedRead read = !hidden       ? platform::ReadTrustedFile(fileName, bytes, &why)
                                       : hiddenThere ? platform::TrustedRead::Failed
                                                     : platform::TrustedRead::Missing;
    switch (read) {
    case platform::TrustedRead::Read: lines = listFileLines(bytes); return ListFileLoad::Loaded;
    case platform::TrustedRead::Missing:
        WriteLog("LoadFileToListBox : cant find " + fileName, 3);
        return ListFileLoad::Missing;
    case platform::TrustedRead::Refused:
        // Run as root, a link another user owns would let her show root any file as a list.
        WriteLog("LoadFileToListBox : cant read " + fileName + " - " + why, 0);
        return ListFileLoad::Unreadable;
    case platform::TrustedRead::Failed: break;
    }
    WriteLog("LoadFileToListBox : cant find " + fileName, 3);
    return ListFileLoad::Unreadable;
}

bool WriteListFile(const QString& fileName, const QStringList& lines, QString* why, platform::LinkRule links) {
    QByteArray data;
    for (const QString& line : lines) data += platform::BytesFromText(line) + "\r\n";
    return platform::ReplaceFile(fileName, data, why, links);
}

ListFileLoad LoadListFile(QWidget* control, const QString& fileName, int mode) {
    if (fileName.isEmpty()) return ListFileLoad::Loaded;
    QStringList lines;
    const ListFileLoad read = ReadListFile(fileName, lines);
    // Missing or unreadable: the control keeps its rows.
    if (read != ListFileLoad::Loaded) return read;

    if (auto* list = qobject_cast<QListWidget*>(control)) {
        if (mode != 1) list->clear();
        list->addItems(lines);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (mode != 1) combo->clear();
        combo->addItems(lines);
    } else if (auto* view = qobject_cast<QTreeWidget*>(control)) {
        if (mode != 1) view->clear();
        // Every loaded row is ticked, unless the list is marked as one without
        // check boxes: a box that means nothing would mislead the user.
        const QVariant mark = view->property(kCheckBoxesProperty);
        const bool ticks = !mark.isValid() || mark.toBool();
        QList<QTreeWidgetItem*> rows;
        rows.reserve(lines.size());
        for (QString line : lines) {
            if (line.endsWith(u',')) line.chop(1);
            QTreeWidgetItem* item = ticks ? newListViewRow(line) : new QTreeWidgetItem(QStringList{line});
            if (ticks) item->setCheckState(0, Qt::Checked);
            rows.append(item);
        }
        view->addTopLevelItems(rows);
    } else if (FileListModel* files = fileListOf(control)) {
        if (mode != 1) files->clear();
        for (QString line : lines) {
            if (line.endsWith(u',')) line.chop(1);
            files->addPathRow(line, files->hasCheckBoxes());
        }
        files->showAddedRows();
    }
    return ListFileLoad::Loaded;
}

bool SaveListboxToFile(QWidget* control, const QString& fileName, int& lineCount, platform::LinkRule links) {
    lineCount = 0;
    if (fileName.isEmpty()) {
        WriteLog(QStringLiteral("Cant save listbox because a filename wasnt specified"), 3);
        return false;
    }
    QStringList lines;
    if (qobject_cast<QListWidget*>(control) || qobject_cast<QComboBox*>(control)) {
        lines = ListRowTexts(control);
    } else if (auto* view = qobject_cast<QTreeWidget*>(control)) {
        lines.reserve(view->topLevelItemCount());
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = view->topLevelItem(i);
            QString line = item->text(0);
            if (item->columnCount() > 1 && !item->text(1).isEmpty()) line += u',' + item->text(1);
            lines.append(line);
        }
    } else if (const FileListModel* files = fileListOf(control)) {
        lines.reserve(files->count());
        for (int i = 0; i < files->count(); ++i) {
            QString line = files->row(i).path;
            const QString name = files->text(i, FileListModel::NameColumn);
            if (!name.isEmpty()) line += u',' + name;
            lines.append(line);
        }
    } else {
        // Not a list control: the list file is left as it is.
        reportSaveFailure(fileName, 438, QStringLiteral("Object doesn't support this property or method"));
        return false;
    }

    // A failed save (a full disk, a read-only list) keeps the earlier list as it was.
    lineCount = int(lines.size());
    QString why;
    if (WriteListFile(fileName, lines, &why, links)) return true;
    reportSaveFailure(fileName, int(QFileDevice::WriteError), why);
    return false;
}

bool SaveListboxToFile(QWidget* control, const QString& fileName, platform::LinkRule links) {
    int lineCount = 0;
    return SaveListboxToFile(control, fileName, lineCount, links);
}

void CopyListItems(QWidget* source, QWidget* destination) {
    auto* from = qobject_cast<QTreeWidget*>(source);
    if (!from || from == destination) return;
    const int rows = from->topLevelItemCount();
    if (auto* list = qobject_cast<QListWidget*>(destination)) {
        list->clear();
        for (int i = 0; i < rows; ++i) list->addItem(from->topLevelItem(i)->text(0));
    } else if (auto* combo = qobject_cast<QComboBox*>(destination)) {
        combo->clear();
        for (int i = 0; i < rows; ++i) combo->addItem(from->topLevelItem(i)->text(0));
    } else if (auto* view = qobject_cast<QTreeWidget*>(destination)) {
        view->clear();
        const bool boxes = ListViewHasCheckBoxes(view) || ListViewHasCheckBoxes(from);
        QList<QTreeWidgetItem*> copies;
        copies.reserve(rows);
        for (int i = 0; i < rows; ++i) {
            const QTreeWidgetItem* row = from->topLevelItem(i);
            QTreeWidgetItem* item = newListViewRow(row->text(0));
            if (row->checkState(0) == Qt::Checked)
                item->setCheckState(0, Qt::Checked);
            else if (boxes)
                item->setCheckState(0, Qt::Unchecked);
            copies.append(item);
        }
        view->addTopLevelItems(copies);
    }
}

void RemoveListItemsContaining(const QString& fragment, QWidget* list) {
    if (fragment.isEmpty()) return;
    RemoveListRowsWhere(list, [&fragment](const QString& text) { return text.contains(fragment, Qt::CaseSensitive); });
}
