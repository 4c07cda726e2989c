#pragma once
// One folder: it holds the folder's path (without a trailing "/", except the
// root "/"), creates every missing level of it, tells whether it exists and
// when it was created, and lists its files or subfolders into a clsArray.
// Hidden entries (names beginning with ".") and system entries (neither a
// regular file nor a folder) are never listed.
#include <QDateTime>
#include <QString>

class clsArray;

class clsPath {
public:
    // Does nothing; returns false.
    bool deleteAllFiles(const QString& fileSpec = {});
    // Does nothing.
    void createSubDir(const QString& subdir);

    // The path, with "/" appended when asked. With no path set yet, a message
    // box says so and the result is "".
    QString getFullName(bool addTrailingSlash = false);

    // Sets the path to the folder nme inside par; with createIfNotThere, makes
    // every missing level. Failures are shown in a message box.
    void init(const QString& par, const QString& nme, bool createIfNotThere = false);

    // Sets the path to pth: the caller's pth loses its surrounding blanks and
    // the stored path one trailing "/". With createIfNotThere, makes every
    // missing level; a failure is shown in a message box.
    void initFull(QString& pth, bool createIfNotThere = false);
    void initFull(const QString& pth, bool createIfNotThere = false);

    // pth up to and including its last "/"; "" when it holds none.
    static QString ExtractParent(const QString& pth);

    // Creates every missing level of strDirName, outermost first, without
    // changing the process's current folder. True when the folder exists
    // afterwards; otherwise lastError() says why.
    bool MakePathAux(const QString& strDirName);

    // True when the path names a folder (or a link to one).
    bool Exists() const;

    // The folder's creation time as the file system keeps it (its last
    // modification where the file system keeps no creation time); invalid when there
    // is no folder. Also kept in the object.
    QDateTime dateCreated();

    // Nothing counts files or subfolders: both are 0.
    qint16 numFiles() const { return m_numFiles; }
    qint16 numSubFolders() const { return m_numSubFolders; }

    // Empties arr and fills it with the full paths of the folder's regular
    // files (and links to them) whose names match fileSpec ("" or "*" for
    // every file), in the order the file system lists them. Returns the number
    // added.
    qint32 GetListOFiles(clsArray& arr, const QString& fileSpec = {});

    // Empties arr and fills it with one item per visible file and subfolder of
    // the folder: a subfolder's bare name, or "" for a file. Returns the number
    // of items, blank ones included.
    qint32 GetListOfSubDirectories(clsArray& arr);

    // Why the last MakePathAux failed.
    QString lastError() const { return m_lastError; }

private:
    bool CreateFullDirectory();

    QString m_path;
    QDateTime m_dateCreated;
    qint16 m_numFiles = 0;
    qint16 m_numSubFolders = 0;
    QString m_lastError;
};
