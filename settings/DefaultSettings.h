#pragma once
// The first-run defaults: the settings and, where missing, the two list files.
#include <QString>
#include <QStringList>

class cFileIO;

// Writes the nine default settings into iniFile in their fixed order, points
// PathListFile and ExcludedPathListFile at the default list files in the
// program folder, and, when the folder list does not exist yet, writes it from
// the default folder candidates that exist and writes the default excluded
// list when that is missing too.
void CreateDefaultIni(const QString& iniFile);

// Appends candidate + "/*" (or candidate unchanged when it ends with "/") to
// the list file when the candidate exists as a folder or file that is neither
// hidden nor a system entry (device, FIFO, socket).
void AddFolderIfExists(cFileIO& listFile, const QString& candidate);

// The folders tested for the default folder list, in order.
QStringList DefaultFolderCandidates();

// The lines of the default excluded list, in order.
QStringList DefaultExcludedFragments();
