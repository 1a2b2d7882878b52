#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

constexpr int kFirstParam = 1;
constexpr int kLastParam = 504;
// An entry is cut to this many characters when it is stored.
constexpr std::size_t kParamValueLength = 70;

// The terminal parameter values 1 to 504 as the parameter screen last read, edited or stored them.
// They are the values sent back; nothing saves them.
class TParamTable {
 public:
  static bool Valid(int number) { return number >= kFirstParam && number <= kLastParam; }

  // Empty for an entry never filled. Raises std::out_of_range for a number outside 1 to 504.
  const std::string& operator[](int number) const { return values_.at(Slot(number)); }
  void Set(int number, std::string_view value);
  void Clear();

  // A read from a terminal has filled the table since it was created or cleared: its values belong
  // to a terminal and may be shown again (Reset) and sent.
  bool Filled() const { return filled_; }
  void SetFilled(bool filled) { filled_ = filled; }

 private:
  static std::size_t Slot(int number);
  std::array<std::string, kLastParam + 1> values_;
  bool filled_ = false;
};

// The one table of the process: it outlives the parameter window, so a window opened later shows
// the values last read until it reads again.
TParamTable& ParamTable();

// The numbers of each page of the parameter screen, in the order they are read and sent.
constexpr int kPageCount = 5;
extern const std::array<std::string_view, kPageCount> PageParams;
// The pages' captions, in index order: "Communication", "LCD", "Inputs", "OutPuts", "Other".
extern const std::array<std::string_view, kPageCount> PageNames;
// A page given by its index ("0" to "4") or its caption in any letter case; none for anything else.
std::optional<int> PageIndex(std::string_view indexOrName);
std::vector<int> PageNumbers(int page);
// Every number of the five pages, in page order (55 of them).
std::vector<int> AllPageNumbers();

}  // namespace korvo
