#include "foundation/FileListBox.h"

#include "platform/FileStatus.h"
#include "platform/Wildcard.h"

#include <algorithm>

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setPath(const QString& folder) {
    m_path = folder;
    Refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    Refresh();
}

void FileListBox::Refresh() {
    clear();
    if (m_path.isEmpty()) return;
    platform::FolderEntries entries;
    if (!platform::ReadFolderEntries(m_path, entries)) return;
    const QString base = m_path.endsWith(u'/') ? m_path : m_path + u'/';
    QStringList names;
    for (int i = 0; i < entries.size(); ++i) {
        const QString name = entries.displayName(i);
        if (name.startsWith(u'.')) continue;  // hidden
        if (!platform::WildcardMatch(name, m_pattern)) continue;
        const platform::EntryKind kind = entries.kind(i);
        if (kind == platform::EntryKind::Folder || kind == platform::EntryKind::Other) continue;
        if (kind != platform::EntryKind::File && !platform::GetFileStatus(base + name).isFile) continue;
        names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    addItems(names);
}

QString FileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}
