#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace korvo {

class TDatabase;
struct TLinkContext;

struct TDiskSpace {
  std::uint64_t freeBytes = 0;  // what an ordinary user may still write
  std::uint64_t totalBytes = 0;
};
// The figures of the file system holding `folder`. Raises an error when it cannot be read.
TDiskSpace FolderDiskSpace(const std::string& folder);

// Bytes as megabytes with two decimals.
std::string MegabyteText(std::uint64_t bytes);

// The nine values of the System Information window, ST1 to ST9: program folder, disk free and total,
// terminal address, transactions waiting in it, fingerprints enrolled in it, cardholders, activities
// and templates in the database. Every value but the folder and the address ends in a blank.
using TSysInfoValues = std::array<std::string, 9>;

struct TSysInfoSources {
  TLinkContext& link;
  TDatabase& db;
  std::string programFolder;
  std::string address;  // CurAddr; empty: the terminal is not asked
  std::function<TDiskSpace(const std::string& folder)> diskSpace = FolderDiskSpace;
};

// Fills `values` in their order. An error (a transaction count that is no number, a database error)
// ends the filling: the values before it stay, the rest stay empty, and the error is raised.
void FillSysInfo(const TSysInfoSources& sources, TSysInfoValues& values);

// The templates the database holds by the count of the System Information window: 2 for a
// cardholder whose template text is longer than one template's 768 digits, 1 for any other.
int TemplateCountOf(TDatabase& db);

}  // namespace korvo
