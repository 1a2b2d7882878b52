#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace korvo {

// A calendar date passed to the record services (the "date" kind of value).
struct TDate {
  int year = 0, month = 0, day = 0;
};
// A value of a kind the record services do not know; it is written as an empty text.
struct TOtherValue {};

// The tagged values taken by the record services and bound into statements.
using TValue = std::variant<std::int64_t, char, std::string, double, TDate, TOtherValue>;

inline TValue IntValue(std::int64_t v) {
  return TValue{v};
}
inline TValue CharValue(char c) {
  return TValue{c};
}
inline TValue TextValue(std::string s) {
  return TValue{std::move(s)};
}
inline TValue FloatValue(double d) {
  return TValue{d};
}

// A binary value read from a picture or memo column.
struct TBlob {
  std::string bytes;
  bool operator==(const TBlob&) const = default;
};

// A value as it comes out of the database.
using TDbVariant = std::variant<std::monostate, std::int64_t, double, std::string, TBlob>;

// A condition text with its bound values, in the order of its "?" marks.
struct TCondition {
  TCondition(const char* s) : sql(s) {}             // NOLINT: constant conditions read as plain text
  TCondition(std::string s) : sql(std::move(s)) {}  // NOLINT
  TCondition(std::string s, std::vector<TValue> p) : sql(std::move(s)), params(std::move(p)) {}
  std::string sql;
  std::vector<TValue> params;
};

}  // namespace korvo
