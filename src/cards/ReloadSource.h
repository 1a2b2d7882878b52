#pragma once

#include <string>
#include <vector>

namespace korvo {

// What a backup file's name tells: the terminal's address and the card digits, its first two words
// ("192.168.1.207 8  1224153001.BAK"). Card digits that are no integer count as 1.
struct TBackupName {
  std::string address;
  int cardDigits = 1;
};
TBackupName ParseBackupName(const std::string& fileName);

// The backup files to reload: "*.BAK" in "BackUp/" of the program folder whose name has a blank,
// by name without folder, in name order whatever the letter case.
std::vector<std::string> BackupSources(const std::string& programFolder);

// The records of a backup file, one a line; empty lines and the end mark "*" are left out. Raises
// std::runtime_error when the file cannot be read.
std::vector<std::string> ReadBackupRecords(const std::string& path);

}  // namespace korvo
