#pragma once
// Small routines on files and folders: sizes, detail lines, making folders,
// appending lines and the folder write test.
#include "platform/AppendFile.h"

#include <QString>

// The text after the last "." of the whole path, or "" when it holds no dot.
// A dot in a folder name counts: "/a.b/c" gives "b/c".
QString GetFileExtension(const QString& path);

// The size in bytes of the regular file (or link to one) at path, or -1 when
// there is no such file or its status cannot be read. Reports nothing.
qint64 GetFileLength(const QString& path);

// One text line describing the file: each chosen field followed by separator,
// in this order: the path unchanged, the file name, the folder with its
// trailing "/", the extension (GetFileExtension, case kept), the size in plain
// decimal (GetFileLength, so -1 for a missing file), the last-modified time as
// "yyyy/MM/dd hh:mm:ss". With the date asked for and a file whose date cannot
// be read, the result is "" so that the caller can leave the line out.
QString FormatFileDetails(const QString& path, const QString& separator, bool fullPath, bool name, bool folder,
                          bool extension, bool size, bool date);

// The line of the backup folder's _fileDetails.txt for the file at path of
// the given size and last-modified time (seconds since 1970 UTC): the name,
// the folder with its trailing "/", the size and the time as
// "yyyy/MM/dd hh:mm:ss", each followed by ",". For an existing file it is
// what FormatFileDetails(path, ",", false, true, true, false, true, true) gives.
QString FileDetailsLine(const QString& path, qint64 size, qint64 modifiedSecs);

// Creates every missing folder level of path, outermost first. Failures are
// ignored and the current folder is not changed; returns true.
bool MakeFullPath(const QString& path);

// Makes folder and every missing level above it. True when the folder exists
// afterwards; otherwise error and description say why.
bool MakeFolderWithReason(const QString& folder, int& error, QString& description);

// Appends text and CR LF to a file, creating it (owned as owner says); false
// when that fails (also when a link or special file is in its place:
// platform::OpenForWriting). Text read from bytes that are not UTF-8 goes
// back as those bytes.
bool AppendLineToFile(const QString& fileName, const QString& line,
                      platform::NewFileOwner owner = platform::NewFileOwner::Program);

// Writes the test file <folder>/<program>.tmp and leaves it there; false, a
// log line and a message when that fails. folder gains a trailing "/".
bool CanWriteToFolder(QString& folder);
