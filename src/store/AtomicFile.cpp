#include "store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace korvo {

bool WriteFileAtomically(const std::string& path, std::string_view content) {
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
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
  if (!ok) ::unlink(tmp.c_str());
  return ok;
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
