#pragma once
// The sections and keys of the settings file, spelled once. Names match
// without regard to case when read; a section or key that is written new gets
// the spelling given here.

namespace Section {
inline constexpr char General[] = "general";
inline constexpr char Plandel[] = "Plandel";
}  // namespace Section

namespace Key {
// [general]
inline constexpr char BackupTo[] = "backupTo";
inline constexpr char BackupType[] = "backupType";
inline constexpr char KeepPaths[] = "keepPaths";
inline constexpr char DateOfLastBackup[] = "dateOfLastBackup";
// The offset from UTC, in seconds east of it, of the zone whose local time
// dateOfLastBackup is written in; written with it.
inline constexpr char DateOfLastBackupUtcOffset[] = "dateOfLastBackupUtcOffset";
inline constexpr char PathList[] = "pathlist";
inline constexpr char ExcludedPathList[] = "ExcludedPathlist";
inline constexpr char RecordToPlandel[] = "RecordToPlandel";
inline constexpr char IgnoreFailedFileCopies[] = "IgnoreFailedFileCopies";
inline constexpr char RunSilently[] = "runSilently";
inline constexpr char StartupDelay[] = "startupDelay";
inline constexpr char Title[] = "title";
// [Plandel]
inline constexpr char DataPath[] = "dataPath";
}  // namespace Key
