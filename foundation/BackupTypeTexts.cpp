#include "foundation/BackupTypeTexts.h"

QStringList BackupTypeTexts() {
    return {QStringLiteral("Backup all files into directory above"),
            QStringLiteral("append todays date as sub-directory"),
            QStringLiteral("Cyclic Daily Backup (appends day of week as subdirectory)"),
            QStringLiteral("Cyclic Weekly Backup (appends Week# as subfolder)"),
            QStringLiteral("Cyclic Monlthy Backup (appends month as subdirectory)"),
            QStringLiteral("append year and month as subdirectory [ yyyy-mmm ]"),
            QStringLiteral("append year and Quarter as subdirectory, eg 2001-Q2"),
            QStringLiteral("append todays date and time as subdirectory")};
}
