#include "store/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvo {

std::string TemporaryPathFor(const std::string& path) {
  return path + ".tmp" + std::to_string(::getpid());
}

bool SyncFolder(const std::string& folder) {
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that cannot be opened for reading, or a file system that cannot sync one, leaves
  // nothing more to do.
  if (dir < 0) return true;
  const bool synced = ::fsync(dir) == 0 || errno == EINVAL;
  ::close(dir);
  return synced;
}

int RemoveStaleTemporaries(const std::string& folder) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const auto mark = name.rfind(".tmp");
    if (mark == std::string::npos || mark == 0 || mark + 4 == name.size()) continue;
    const std::string digits = name.substr(mark + 4);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code statEc;
    if (!it->is_regular_file(statEc)) continue;
    if (::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
  std::string tmp = TemporaryPathFor(path);
  mode_t mode = kPrivateFileMode;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return false;
  const char* p = content.data();
  std::size_t left = content.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename itself must reach the disk, or a power cut could bring back the old file.
  return SyncFolder(std::filesystem::path(path).parent_path().string());
}

void CreatePrivately(const std::string& path, unsigned mode) {
  int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, static_cast<mode_t>(mode));
  if (fd >= 0) ::close(fd);
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  content = ss.str();
  return !in.bad();
}

TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content,
                          bool refuseLarger) {
  content.clear();
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? TFileRead::Missing : TFileRead::Failed;
  struct TCloser {
    int fd;
    ~TCloser() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return TFileRead::Failed;
  if (!S_ISREG(st.st_mode)) return TFileRead::NotRegular;
  if (refuseLarger && static_cast<std::uintmax_t>(st.st_size) > maxBytes) return TFileRead::TooLarge;
  char buf[65536];
  while (true) {
    const std::size_t want = refuseLarger ? sizeof buf : std::min(sizeof buf, maxBytes - content.size());
    if (want == 0) break;
    ssize_t n = ::read(fd, buf, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return TFileRead::Failed;
    }
    if (n == 0) break;
    content.append(buf, static_cast<std::size_t>(n));
    // The file grew while it was read.
    if (content.size() > maxBytes) return TFileRead::TooLarge;
  }
  return TFileRead::Read;
}

std::string RefusedFileText(const std::string& path, TFileRead outcome) {
  if (outcome == TFileRead::NotRegular) return "File " + path + " is not a regular file";
  if (outcome == TFileRead::TooLarge)
    return "File " + path + " is larger than " + std::to_string(kConfigFileMaxBytes >> 20) + " MiB";
  return {};
}

}  // namespace korvo
