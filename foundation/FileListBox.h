#pragma once
// A list of the file names of one folder that match a wildcard pattern, as a
// file list box shows them: regular files only (links to regular files
// included), hidden and system files left out, sorted by name without regard
// to case. The list is re-read when the folder or the pattern changes, and on
// Refresh.
#include <QListWidget>

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    // The folder listed, as it was set (a folder that does not exist lists nothing).
    QString path() const { return m_path; }
    void setPath(const QString& folder);
    // "*.*" until set.
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    // Reads the folder again; the selection is cleared.
    void Refresh();
    // The selected file name; "" when none is selected.
    QString fileName() const;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};
