#pragma once
// The texts both programs show for the eight backup types.
#include <QStringList>

// The text of each backup type, by its stored number 0 to 7.
QStringList BackupTypeTexts();
