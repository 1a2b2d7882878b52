#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace korvosim {

// The terminal's small file system: the folders TRANS and SYSTEM and files at the top ("IDLOOKUP",
// "MSGTABLE", ...). A file is a list of records, one per line. Names are kept in upper case with "\" between
// folder and file, so "trans/010124.dat" and "TRANS\010124.DAT" are the same file.
class FileStore {
 public:
  struct File {
    std::vector<std::string> records;
    bool flagged = false;  // marked as collected by "FLAGTRANS"
  };

  FileStore();

  static std::string normalize(std::string_view path);
  // The folder of a path ("" for a top-level file) and its name inside the folder.
  static std::string folderOf(const std::string& normalized);
  static std::string nameOf(const std::string& normalized);

  bool folderExists(const std::string& folder) const;
  bool makeFolder(const std::string& folder);    // false when it exists already
  bool removeFolder(const std::string& folder);  // with every file in it; false when missing

  // The folder of `path` exists (top-level files always have one).
  bool canHold(const std::string& path) const;
  const File* find(const std::string& path) const;
  File* find(const std::string& path);
  // Creates or replaces; false when the folder is missing.
  bool put(const std::string& path, std::vector<std::string> records);
  bool append(const std::string& path, std::string record);
  bool remove(const std::string& path);
  // File names inside a folder ("" for the top level), in name order.
  std::vector<std::string> names(const std::string& folder) const;
  std::vector<std::string> folders() const;
  // Bytes a file takes: every record with its CR LF.
  static std::size_t bytes(const File& file);

 private:
  std::set<std::string> folders_;
  std::map<std::string, File> files_;
};

}  // namespace korvosim
