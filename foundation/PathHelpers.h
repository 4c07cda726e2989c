#pragma once
// Path and text helpers. Folders carry a trailing "/"; these work on the text
// alone and never touch the disk, except IsMissingDestination, which asks the
// file system what a destination names.
#include <QString>

// The text after the last "/"; "" when the path holds none.
QString GetFileNameFromPath(const QString& path);
// The text up to and including the last "/"; "" when there is none.
QString GetFolderFromPath(const QString& path);
// Appends "/" to folder when its last character is not one (the caller's
// variable changes), then returns folder + name.
QString JoinPath(QString& folder, const QString& name);
// The text before its first NUL character.
QString TrimNull(const QString& text);
// Appends one blank for each count from the text's length up to n inclusive:
// a text of length n or less comes back n + 1 long. The caller's variable holds the result.
QString PadRight(QString& text, int n);

// There is no Windows folder: always "".
QString GetWindowsFolder();

// True for a destination that names no folder of its own, where no backup
// starts and no settings window accepts it: the empty text and blanks and
// separators alone; a text that does not begin with "/" (it would be taken
// from whatever folder the program was started in); and the root folder
// however it is spelled ("/.", "/tmp/..", a link to it), told by identity.
bool IsMissingDestination(const QString& destination);

// Why IsMissingDestination refuses destination, in one sentence for the
// user's eyes and the logs; "" when it names a folder of its own. A blank one
// (blanks alone, or with separators: a blank entry saved with its slash) is
// "There is no destination directory specified"; any other names the text
// and says that it must be a full path to a folder other than the root.
QString MissingDestinationReason(const QString& destination);
