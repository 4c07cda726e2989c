#pragma once
// The properties of one file, gathered in one read: its three times (UTC),
// attribute flags, size text, version-resource strings, type name and icon
// index, given out one by one, as date texts and as a multi-line report.
#include <QDate>
#include <QString>
#include <QTime>

class clsFileProp {
public:
    // Reads the file's properties; always returns 0. "" reads nothing. A file
    // that cannot be opened gives the message "Can't open the file" and leaves
    // every field but nothing else read. Nothing is cleared first: a field a
    // read cannot fill keeps the previous read's value.
    int FindFileInfo(const QString& strFilename, bool bLargeIcon);

    // "yyyy-mm-dd hh:mm:ss" of the creation and last-write times, and the
    // last-access date alone; "" for times never read.
    QString GetDateCreated() const;
    QString GetDateModified() const;
    QString GetDateAccessed() const;
    // The report of times, version strings and flags, CR LF after every line.
    QString GetAllFileInfo() const;

    int IconIndex() const { return m_IconIndex; }
    QString FileType() const { return m_FileType; }
    bool Compress() const { return m_Compress; }
    bool Temporary() const { return m_Temporary; }
    bool Normal() const { return m_Normal; }
    bool Archive() const { return m_Archive; }
    bool Directory() const { return m_Directory; }
    bool System() const { return m_System; }
    bool Hidden() const { return m_Hidden; }
    bool ReadOnly() const { return m_ReadOnly; }
    QString LastWriteTime() const { return m_LastWriteTime; }
    QString LastAccessTime() const { return m_LastAccessTime; }
    QString CreationTime() const { return m_CreationTime; }
    QString ByteSize() const { return m_ByteSize; }
    QString ProductVersion() const { return m_ProductVersion; }
    QString ProductName() const { return m_ProductName; }
    QString OriginalFileName() const { return m_OriginalFileName; }
    QString LegalCopyright() const { return m_LegalCopyright; }
    QString InternalName() const { return m_InternalName; }
    QString FileVersion() const { return m_FileVersion; }
    QString FileDescription() const { return m_FileDescription; }
    QString CompanyName() const { return m_CompanyName; }
    QString FileName() const { return m_FileName; }

private:
    QString m_CompanyName, m_FileDescription, m_FileVersion, m_InternalName, m_LegalCopyright, m_OriginalFileName,
        m_ProductName, m_ProductVersion;
    QString m_FileName;
    QString m_ByteSize;
    QString m_CreationTime, m_LastAccessTime, m_LastWriteTime;
    QDate m_CreationDate, m_AccessDate, m_WriteDate;
    QTime m_CreationTimeOfDay, m_AccessTimeOfDay, m_WriteTimeOfDay;
    bool m_ReadOnly = false, m_Hidden = false, m_System = false, m_Directory = false, m_Archive = false,
         m_Normal = false, m_Temporary = false, m_Compress = false;
    QString m_FileType;
    int m_IconIndex = 0;
};
