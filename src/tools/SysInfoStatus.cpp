#include "tools/SysInfoStatus.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "collect/TransactionDownload.h"
#include "link/LinkServices.h"
#include "store/Database.h"
#include "store/TextCodec.h"
#include "tables/TemplateText.h"

namespace korvo {
namespace {

// The first column of the first row, "0" when there is none.
std::string CountOf(TDatabase& db, const std::string& sql) {
  TQuery q(db);
  q.SetSQL(sql);
  q.Open();
  return q.IsEmpty() ? std::string("0") : q.Field(0).AsString();
}

}  // namespace

TDiskSpace FolderDiskSpace(const std::string& folder) {
  struct statvfs s {};
  if (statvfs(folder.c_str(), &s) != 0)
    throw std::runtime_error("Cannot read the disk of " + folder + ": " + std::strerror(errno));
  const std::uint64_t unit = s.f_frsize ? s.f_frsize : s.f_bsize;
  return {static_cast<std::uint64_t>(s.f_bavail) * unit, static_cast<std::uint64_t>(s.f_blocks) * unit};
}

std::string MegabyteText(std::uint64_t bytes) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(bytes) / 1048576.0);
  return text;
}

int TemplateCountOf(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("Select fmBioData from tEmployees");
  q.Open();
  int count = 0;
  for (q.First(); !q.Eof(); q.Next()) count += q.Field(0).AsString().size() > kTemplateDigits ? 2 : 1;
  return count;
}

void FillSysInfo(const TSysInfoSources& sources, TSysInfoValues& values) {
  values = {};
  values[0] = sources.programFolder;
  const TDiskSpace disk = sources.diskSpace(sources.programFolder);
  values[1] = MegabyteText(disk.freeBytes) + " ";
  values[2] = MegabyteText(disk.totalBytes) + " ";
  values[3] = TrimControl(sources.address);
  if (!values[3].empty()) {
    values[4] = std::to_string(CountTransactions(sources.link, sources.address)) + " ";
    std::string fingers = SendCommand(sources.link, sources.address, "FINGERS");
    fingers.erase(std::remove(fingers.begin(), fingers.end(), '\r'), fingers.end());
    values[5] = fingers + " ";
  }
  values[6] = CountOf(sources.db, "Select Count(fsCardNo) from tEmployees") + " ";
  values[7] = CountOf(sources.db, "Select Count(fsCardNo) from tActivities") + " ";
  values[8] = std::to_string(TemplateCountOf(sources.db)) + " ";
}

}  // namespace korvo
