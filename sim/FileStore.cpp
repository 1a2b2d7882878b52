#include "FileStore.h"

#include <cctype>

namespace korvosim {

FileStore::FileStore() : folders_{"TRANS", "SYSTEM"} {}

std::string FileStore::normalize(std::string_view path) {
  std::size_t b = 0, e = path.size();
  while (b < e && std::isspace(static_cast<unsigned char>(path[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(path[e - 1]))) --e;
  std::string out;
  for (std::size_t i = b; i < e; ++i) {
    char c = path[i] == '/' ? '\\' : path[i];
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string FileStore::folderOf(const std::string& normalized) {
  auto pos = normalized.find('\\');
  return pos == std::string::npos ? std::string() : normalized.substr(0, pos);
}

std::string FileStore::nameOf(const std::string& normalized) {
  auto pos = normalized.find('\\');
  return pos == std::string::npos ? normalized : normalized.substr(pos + 1);
}

bool FileStore::folderExists(const std::string& folder) const {
  return folder.empty() || folders_.count(normalize(folder)) > 0;
}

bool FileStore::makeFolder(const std::string& folder) {
  const std::string f = normalize(folder);
  if (f.empty() || f.find('\\') != std::string::npos) return false;
  return folders_.insert(f).second;
}

bool FileStore::removeFolder(const std::string& folder) {
  const std::string f = normalize(folder);
  if (!folders_.erase(f)) return false;
  for (auto it = files_.begin(); it != files_.end();) {
    if (folderOf(it->first) == f)
      it = files_.erase(it);
    else
      ++it;
  }
  return true;
}

bool FileStore::canHold(const std::string& path) const {
  const std::string p = normalize(path);
  return !nameOf(p).empty() && folderExists(folderOf(p));
}

const FileStore::File* FileStore::find(const std::string& path) const {
  auto it = files_.find(normalize(path));
  return it == files_.end() ? nullptr : &it->second;
}

FileStore::File* FileStore::find(const std::string& path) {
  auto it = files_.find(normalize(path));
  return it == files_.end() ? nullptr : &it->second;
}

bool FileStore::put(const std::string& path, std::vector<std::string> records) {
  if (!canHold(path)) return false;
  files_[normalize(path)] = File{std::move(records), false};
  return true;
}

bool FileStore::append(const std::string& path, std::string record) {
  if (!canHold(path)) return false;
  files_[normalize(path)].records.push_back(std::move(record));
  return true;
}

bool FileStore::remove(const std::string& path) {
  return files_.erase(normalize(path)) > 0;
}

std::vector<std::string> FileStore::names(const std::string& folder) const {
  const std::string f = normalize(folder);
  std::vector<std::string> out;
  for (const auto& [path, file] : files_)
    if (folderOf(path) == f) out.push_back(nameOf(path));
  return out;
}

std::vector<std::string> FileStore::folders() const {
  return {folders_.begin(), folders_.end()};
}

std::size_t FileStore::bytes(const File& file) {
  std::size_t n = 0;
  for (const auto& r : file.records) n += r.size() + 2;
  return n;
}

}  // namespace korvosim
