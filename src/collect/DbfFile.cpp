#include "collect/DbfFile.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <charconv>
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

SAFile OpenExact(const char* name, const char* access) {
  const std::size_t n = std::strlen(name);
  if (n >= 4 && (std::strcmp(name + n - 4, ".cpg") == 0 || std::strcmp(name + n - 4, ".CPG") == 0))
    return nullptr;
  if (std::strchr(access, 'w')) korvo::CreatePrivately(hookPath);
  return reinterpret_cast<SAFile>(std::fopen(hookPath.c_str(), access));
}
int RemoveNothing(const char*) {
  return 0;
}

SAHooks ExactHooks(const std::string& path) {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hookPath = path;
  hooks.FOpen = OpenExact;
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
