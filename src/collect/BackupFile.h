#pragma once

#include <string>
#include <vector>

#include "store/MonthlyLog.h"

namespace korvo {

// The backup of one download attempt: "BackUp/" in the program folder, named by the terminal's
// address, one blank, the card digits, two blanks and the month, day, hour, minute and second of
// the local time ("1 6  1224153001.BAK"). A name already taken in the same second gets "_2", "_3"
// ... after the time stamp: the reload reads only the first two words of a name.
std::string BackupFileName(const std::string& address, int cardDigits, const TLocalTime& now);
std::string FreeBackupPath(const std::string& folder, const std::string& fileName);

// Writes the records one per line (CR LF, Windows-1252) and flushes them to the disk, creating the
// folder when missing. Returns the path written; raises std::runtime_error when the file could not
// be written whole.
std::string WriteBackupFile(const std::string& programFolder, const std::string& address, int cardDigits,
                            const TLocalTime& now, const std::vector<std::string>& records);

}  // namespace korvo
