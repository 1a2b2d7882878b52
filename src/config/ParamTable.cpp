#include "config/ParamTable.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace korvo {

const std::array<std::string_view, kPageCount> PageParams = {
    "19 20 21 27 31 201 202 203 204 205 206 30 213 214",
    "2 3 7 18 301 302 303 304 305 306 307 308 216 312 32 313",
    "4 5 6 23 24 25 12 13 14 15 207 208 215 309 310 311 33 34",
    "209 210 211 212 400",
    "29 16",
};

const std::array<std::string_view, kPageCount> PageNames = {"Communication", "LCD", "Inputs", "OutPuts",
                                                            "Other"};

std::size_t TParamTable::Slot(int number) {
  if (!Valid(number))
    throw std::out_of_range("No terminal parameter has the number " + std::to_string(number) + ".");
  return static_cast<std::size_t>(number);
}

void TParamTable::Set(int number, std::string_view value) {
  values_.at(Slot(number)) = std::string(value.substr(0, kParamValueLength));
}

void TParamTable::Clear() {
  for (auto& v : values_) v.clear();
  filled_ = false;
}

TParamTable& ParamTable() {
  static TParamTable table;
  return table;
}

std::vector<int> PageNumbers(int page) {
  std::istringstream in{std::string(PageParams.at(static_cast<std::size_t>(page)))};
  std::vector<int> numbers;
  for (int n = 0; in >> n;) numbers.push_back(n);
  return numbers;
}

std::optional<int> PageIndex(std::string_view indexOrName) {
  if (indexOrName.size() == 1 && indexOrName[0] >= '0' && indexOrName[0] < '0' + kPageCount)
    return indexOrName[0] - '0';
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (int page = 0; page < kPageCount; ++page) {
    const std::string_view name = PageNames[static_cast<std::size_t>(page)];
    if (std::equal(name.begin(), name.end(), indexOrName.begin(), indexOrName.end(), same)) return page;
  }
  return std::nullopt;
}

std::vector<int> AllPageNumbers() {
  std::vector<int> all;
  for (int page = 0; page < kPageCount; ++page)
    for (int n : PageNumbers(page)) all.push_back(n);
  return all;
}

}  // namespace korvo
