#pragma once

#include <array>
#include <map>
#include <string>

namespace korvosim {

// Terminal parameters 1 to 504 and the fingerprint module's own (SFMPAR) values, with factory values.
class ParameterTable {
 public:
  static constexpr int kFirst = 1;
  static constexpr int kLast = 504;

  ParameterTable();

  static bool valid(int number) { return number >= kFirst && number <= kLast; }
  static std::string factoryValue(int number);
  static std::string factorySfmValue(int number);

  const std::string& get(int number) const { return values_.at(number); }
  void set(int number, std::string value) { values_.at(number) = std::move(value); }
  std::string sfm(int number) const;
  void setSfm(int number, std::string value) { sfm_[number] = std::move(value); }
  void reset();

 private:
  std::array<std::string, kLast + 1> values_;
  std::map<int, std::string> sfm_;
};

}  // namespace korvosim
