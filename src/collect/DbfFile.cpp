#include "collect/DbfFile.h"

#include <fcntl.h>
#include <shapefil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "store/AtomicFile.h"
#include "store/Cp1252.h"

namespace korvo {
namespace {

// shapelib puts its own ".dbf" in place of any extension the name has. The hooks open the path the
// operator gave instead, and no code page side file is written or removed.
std::mutex hookMutex;
std::string hookPath;

// shapelib writes a record, then the end-of-file mark after it, then seeks back over the mark for
// the next record; through stdio every such seek flushes and refills the buffer. This file keeps
// the bytes written to one stretch of the file in memory and moves within that stretch without a
// system call, so appended records leave in large writes.
struct TDbfStream {
  explicit TDbfStream(int file) : fd(file) {}
  int fd;
  std::uint64_t pos = 0;        // where the next read or write goes
  std::uint64_t pendingAt = 0;  // the file offset of `pending`
  std::string pending;          // written, not yet in the file
  bool failed = false;

  bool Flush() {
    std::size_t done = 0;
    while (done < pending.size()) {
      const ssize_t n =
          ::pwrite(fd, pending.data() + done, pending.size() - done, static_cast<off_t>(pendingAt + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed = true;
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    pending.clear();
    return !failed;
  }
};

TDbfStream* Stream(SAFile file) {
  return reinterpret_cast<TDbfStream*>(file);
}

SAFile OpenExact(const char* name, const char* access) {
  const std::size_t n = std::strlen(name);
  if (n >= 4 && (std::strcmp(name + n - 4, ".cpg") == 0 || std::strcmp(name + n - 4, ".CPG") == 0))
    return nullptr;
  int flags = O_CLOEXEC;
  if (std::strchr(access, 'w'))
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  else
    flags |= std::strchr(access, '+') ? O_RDWR : O_RDONLY;
  const int fd = ::open(hookPath.c_str(), flags, static_cast<mode_t>(kPrivateFileMode));
  if (fd < 0) return nullptr;
  return reinterpret_cast<SAFile>(new TDbfStream{fd});
}
SAOffset ReadStream(void* p, SAOffset size, SAOffset count, SAFile file) {
  TDbfStream* s = Stream(file);
  if (!s->Flush() || size == 0) return 0;
  const std::size_t want = size * count;
  std::size_t got = 0;
  while (got < want) {
    const ssize_t n =
        ::pread(s->fd, static_cast<char*>(p) + got, want - got, static_cast<off_t>(s->pos + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  s->pos += got;
  return got / size;
}
SAOffset WriteStream(void* p, SAOffset size, SAOffset count, SAFile file) {
  TDbfStream* s = Stream(file);
  const std::size_t bytes = size * count;
  // Only a write that touches or extends the pending stretch joins it.
  if (!s->pending.empty() && (s->pos < s->pendingAt || s->pos > s->pendingAt + s->pending.size())) s->Flush();
  if (s->pending.empty()) s->pendingAt = s->pos;
  const std::size_t at = s->pos - s->pendingAt;
  if (s->pending.size() < at + bytes) s->pending.resize(at + bytes);
  std::memcpy(s->pending.data() + at, p, bytes);
  s->pos += bytes;
  if (s->pending.size() >= (std::size_t{1} << 20) && !s->Flush()) return 0;
  return s->failed ? 0 : count;
}
SAOffset SeekStream(SAFile file, SAOffset offset, int whence) {
  TDbfStream* s = Stream(file);
  if (whence == SEEK_SET) {
    s->pos = offset;
  } else if (whence == SEEK_CUR) {
    s->pos += offset;
  } else {
    struct stat st {};
    if (!s->Flush() || ::fstat(s->fd, &st) != 0) return static_cast<SAOffset>(-1);
    s->pos = static_cast<std::uint64_t>(st.st_size) + offset;
  }
  return 0;
}
SAOffset TellStream(SAFile file) {
  return static_cast<SAOffset>(Stream(file)->pos);
}
int FlushStream(SAFile file) {
  return Stream(file)->Flush() ? 0 : -1;
}
int CloseStream(SAFile file) {
  TDbfStream* s = Stream(file);
  const bool flushed = s->Flush();
  const int rc = ::close(s->fd);
  delete s;
  return flushed && rc == 0 ? 0 : -1;
}
int RemoveNothing(const char*) {
  return 0;
}

SAHooks ExactHooks(const std::string& path) {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hookPath = path;
  hooks.FOpen = OpenExact;
  hooks.FRead = ReadStream;
  hooks.FWrite = WriteStream;
  hooks.FSeek = SeekStream;
  hooks.FTell = TellStream;
  hooks.FFlush = FlushStream;
  hooks.FClose = CloseStream;
  hooks.Remove = RemoveNothing;
  return hooks;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string Number(const TDbfField& field, const std::string& value) {
  const std::string t = Trimmed(value);
  double number = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), number);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::string(field.width, ' ');
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", field.width, field.decimals, number);
  std::string text = buf;
  if (static_cast<int>(text.size()) > field.width) return std::string(field.width, '*');
  return text;
}

}  // namespace

std::string DbfFieldBytes(const TDbfField& field, const std::string& value) {
  const auto width = static_cast<std::size_t>(field.width);
  switch (field.type) {
    case 'N':
    case 'F':
      return Number(field, value);
    case 'D': {
      const bool date = value.size() == 8 && std::all_of(value.begin(), value.end(), [](char c) {
                          return std::isdigit(static_cast<unsigned char>(c));
                        });
      return date && width == 8 ? value : std::string(width, ' ');
    }
    default: {
      std::string text = Utf8ToCp1252(value).substr(0, width);
      text.resize(width, ' ');
      return text;
    }
  }
}

bool TDbfFile::Create(const std::string& path, const std::vector<TDbfField>& fields, int year, int month,
                      int day) {
  std::lock_guard lock(hookMutex);
  SAHooks hooks = ExactHooks(path);
  // "LDID/87": the language driver byte of Windows-1252 text, with no side file.
  DBFHandle h = DBFCreateLL(path.c_str(), "LDID/87", &hooks);
  if (!h) return false;
  bool ok = true;
  for (const auto& f : fields)
    ok = ok && DBFAddNativeFieldType(h, f.name.c_str(), f.type, f.width, f.decimals) >= 0;
  DBFSetLastModifiedDate(h, year - 1900, month, day);
  DBFClose(h);
  return ok;
}

std::unique_ptr<TDbfFile> TDbfFile::Open(const std::string& path, int year, int month, int day) {
  std::lock_guard lock(hookMutex);
  SAHooks hooks = ExactHooks(path);
  DBFHandle h = DBFOpenLL(path.c_str(), "rb+", &hooks);
  if (!h) return nullptr;
  DBFSetLastModifiedDate(h, year - 1900, month, day);
  std::vector<TDbfField> fields;
  for (int i = 0; i < DBFGetFieldCount(h); ++i) {
    char name[XBASE_FLDNAME_LEN_READ + 1] = {};
    int width = 0, decimals = 0;
    DBFGetFieldInfo(h, i, name, &width, &decimals);
    fields.push_back({name, DBFGetNativeFieldType(h, i), width, decimals});
  }
  return std::unique_ptr<TDbfFile>(new TDbfFile(h, std::move(fields)));
}

TDbfFile::TDbfFile(void* handle, std::vector<TDbfField> fields)
    : handle_(handle), fields_(std::move(fields)) {}

TDbfFile::~TDbfFile() {
  DBFClose(static_cast<DBFHandle>(handle_));
}

int TDbfFile::RecordCount() const {
  return DBFGetRecordCount(static_cast<DBFHandle>(handle_));
}

void TDbfFile::Append(const std::vector<std::pair<std::string, std::string>>& values) {
  auto h = static_cast<DBFHandle>(handle_);
  const int record = DBFGetRecordCount(h);
  for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
    const TDbfField& field = fields_[static_cast<std::size_t>(i)];
    std::string value;
    for (const auto& [name, v] : values)
      if (SameName(name, field.name)) value = v;
    std::string bytes = DbfFieldBytes(field, value);
    DBFWriteAttributeDirectly(h, record, i, bytes.data());
  }
}

}  // namespace korvo
