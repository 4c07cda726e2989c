#include "foundation/BackupTypeTexts.h"

#include <array>

namespace {

constexpr std::array<BackupTypeEntry, 8> kTypes{{
    {0, "Backup all files into directory above", "All Files into the above directory", BackupFolderRule::Destination},
    {1, "append todays date as sub-directory", "todays date as appended", BackupFolderRule::Date},
    {2, "Cyclic Daily Backup (appends day of week as subdirectory)", "cyclic daily backup", BackupFolderRule::DayName},
    {3, "Cyclic Weekly Backup (appends Week# as subfolder)", "cyclic weekly backup", BackupFolderRule::WeekNumber},
    {4, "Cyclic Monlthy Backup (appends month as subdirectory)", "cyclic monthly backup", BackupFolderRule::MonthName},
    {5, "append year and month as subdirectory [ yyyy-mmm ]", "year and month backup", BackupFolderRule::YearMonth},
    {6, "append year and Quarter as subdirectory, eg 2001-Q2", "year and Quarter", BackupFolderRule::YearQuarter},
    {7, "append todays date and time as subdirectory", "todays date and time as appended", BackupFolderRule::DateTime},
}};

// The numbers are the positions: a lookup is an index.
constexpr bool numberedInOrder() {
    for (size_t i = 0; i < kTypes.size(); ++i)
        if (kTypes[i].number != int(i)) return false;
    return true;
}
static_assert(numberedInOrder(), "backup types are numbered by their position");

}  // namespace

std::span<const BackupTypeEntry> BackupTypes() { return kTypes; }

const BackupTypeEntry* FindBackupType(int number) {
    if (number < 0 || number >= int(kTypes.size())) return nullptr;
    return &kTypes[size_t(number)];
}

QStringList BackupTypeTexts() {
    QStringList texts;
    for (const BackupTypeEntry& type : kTypes) texts.append(QString::fromLatin1(type.listText));
    return texts;
}
