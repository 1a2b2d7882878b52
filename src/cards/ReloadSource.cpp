#include "cards/ReloadSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "store/TextCodec.h"

namespace korvo {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

}  // namespace

TBackupName ParseBackupName(const std::string& fileName) {
  std::istringstream words(fileName);
  TBackupName name;
  std::string digits;
  words >> name.address >> digits;
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
    name.cardDigits = value;
  return name;
}

std::vector<std::string> BackupSources(const std::string& programFolder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(programFolder + "BackUp/", ec)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file(ec) && name.find(' ') != std::string::npos && name.size() > 4 &&
        Lower(name.substr(name.size() - 4)) == ".bak")
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = Lower(a), lb = Lower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

std::vector<std::string> ReadBackupRecords(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open file " + path + ".");
  std::vector<std::string> records;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = TrimControl(line);
    if (trimmed.empty() || trimmed == "*") continue;
    records.push_back(line);
  }
  return records;
}

}  // namespace korvo
