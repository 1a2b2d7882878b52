// Backup files: their names (address and card digits) and their contents as the reload reads them.
#include "FuzzFiles.h"
#include "cards/ReloadSource.h"
#include "collect/BackupFile.h"
#include "store/MonthlyLog.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TBackupName name = ParseBackupName(text);
  // A name written for what was read names the same terminal again.
  const std::string written =
      BackupFileName(name.address, name.cardDigits, TLocalTime{2024, 12, 24, 15, 30, 1, 2});
  const TBackupName again = ParseBackupName(written);
  if (name.address.find_first_of(" \t\r\n") == std::string::npos && !name.address.empty() &&
      again.address != name.address)
    __builtin_trap();
  fuzz::WriteFile(fuzz::Folder() + "x.BAK", data, size);
  for (const auto& r : ReadBackupRecords(fuzz::Folder() + "x.BAK"))
    if (r.empty() || r == "*") __builtin_trap();
  return 0;
}
