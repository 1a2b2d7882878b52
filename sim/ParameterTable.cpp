#include "ParameterTable.h"

#include <unordered_map>

namespace korvosim {

namespace {

// The values a terminal leaves the factory with, as the parameter screen's Default offers them.
const std::unordered_map<int, std::string>& factoryTable() {
  static const std::unordered_map<int, std::string> table = {
      // Communication
      {19, "4"},
      {20, "0"},
      {21, "0"},
      {27, "0"},
      {31, "4"},
      {201, "192.168.1.207"},
      {202, "0.0.0.0"},
      {203, "255.255.255.0"},
      {204, "0.0.0.0"},
      {205, "0.0.0.0"},
      {206, "23"},
      {30, "0"},
      {213, "0.0.0.0"},
      {214, "80"},
      // LCD
      {2, "1"},
      {3, "2"},
      {7, "6"},
      {18, "7"},
      {301, "F1"},
      {302, "F2"},
      {303, "F3"},
      {304, "F4"},
      {305, "F5"},
      {306, "F6"},
      {307, "F7"},
      {308, "F8"},
      {216, "0"},
      {312, "Korvo2kBio"},
      {32, "0"},
      {313, "0200130021002300"},
      // Inputs
      {4, "1"},
      {5, "0"},
      {6, "1"},
      {23, "1"},
      {24, "1"},
      {25, "1"},
      {12, "1"},
      {13, "1"},
      {14, "3"},
      {15, "0"},
      {207, "38502"},
      {208, "61947"},
      {215, "8000"},
      {309, "Open the Door!"},
      {310, "Open too long!"},
      {311, "Forced Door!!!"},
      {33, "0"},
      {34, "0"},
      // Outputs
      {209, "2000"},
      {210, "2000"},
      {211, "0"},
      {212, "0"},
      {400, "#w #n #D/#M/#C#Y #h:#m:#s#E"},
      // Other
      {29, "1"},
      {16, "0"},
      {22, "0"},
  };
  return table;
}

const std::unordered_map<int, std::string>& factorySfmTable() {
  static const std::unordered_map<int, std::string> table = {
      {102, "5"}, {144, "0"}, {129, "1"}, {147, "6"}, {128, "7"}};
  return table;
}

}  // namespace

ParameterTable::ParameterTable() {
  reset();
}

std::string ParameterTable::factoryValue(int number) {
  const auto& t = factoryTable();
  auto it = t.find(number);
  return it == t.end() ? "0" : it->second;
}

std::string ParameterTable::factorySfmValue(int number) {
  const auto& t = factorySfmTable();
  auto it = t.find(number);
  return it == t.end() ? "0" : it->second;
}

std::string ParameterTable::sfm(int number) const {
  auto it = sfm_.find(number);
  return it == sfm_.end() ? factorySfmValue(number) : it->second;
}

void ParameterTable::reset() {
  values_[0].clear();
  for (int n = kFirst; n <= kLast; ++n) values_[n] = factoryValue(n);
  sfm_.clear();
}

}  // namespace korvosim
