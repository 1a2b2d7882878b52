#include "collect/BackupFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "store/AtomicFile.h"
#include "store/Cp1252.h"

namespace korvo {

std::string BackupFileName(const std::string& address, int cardDigits, const TLocalTime& now) {
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d%02d", now.month, now.day, now.hour, now.minute,
                now.second);
  return address + " " + std::to_string(cardDigits) + "  " + stamp + ".BAK";
}

std::string FreeBackupPath(const std::string& folder, const std::string& fileName) {
  std::string path = folder + fileName;
  const std::string stem = fileName.substr(0, fileName.size() - 4);
  for (int n = 2; std::filesystem::exists(path); ++n) path = folder + stem + "_" + std::to_string(n) + ".BAK";
  return path;
}

std::string WriteBackupFile(const std::string& programFolder, const std::string& address, int cardDigits,
                            const TLocalTime& now, const std::vector<std::string>& records) {
  const std::string folder = programFolder + "BackUp/";
  if (std::filesystem::create_directories(folder))
    std::filesystem::permissions(folder, static_cast<std::filesystem::perms>(kPrivateFolderMode));
  std::string bytes;
  for (const auto& r : records) bytes += Utf8ToCp1252(r) + "\r\n";
  // The bytes go to a temporary first and get their .BAK name only when whole: a process killed
  // mid-write must not leave a short backup that looks like the terminal's files.
  const std::string name = BackupFileName(address, cardDigits, now);
  const std::string tmp = TemporaryPathFor(folder + name);
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) throw std::runtime_error("Cannot create file " + folder + name + ": " + std::strerror(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool whole = done == bytes.size() && ::fsync(fd) == 0;
  int error = errno;
  ::close(fd);
  std::string path = FreeBackupPath(folder, name);
  bool named = false;
  // link() never replaces a file, so a name taken meanwhile moves the backup to the next one.
  for (int tries = 0; whole && !named && tries < 1000; ++tries) {
    if (::link(tmp.c_str(), path.c_str()) == 0) {
      named = true;
    } else if (errno == EEXIST) {
      error = EEXIST;
      path = FreeBackupPath(folder, name);
    } else if (errno == EPERM || errno == EOPNOTSUPP) {
      // A file system without hard links (a FAT stick): the rename is the next best.
      named = ::rename(tmp.c_str(), path.c_str()) == 0;
      error = errno;
      break;
    } else {
      error = errno;
      break;
    }
  }
  ::unlink(tmp.c_str());
  if (!named) throw std::runtime_error("Cannot write file " + path + ": " + std::strerror(error));
  // The terminal's files may be deleted next: the folder's entry for the new file must outlive a
  // power cut too, not only its bytes.
  if (!SyncFolder(folder)) throw std::runtime_error("Cannot write file " + path + ": " + std::strerror(errno));
  return path;
}

}  // namespace korvo
