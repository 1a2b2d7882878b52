#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

class TParamTable;

// A terminal's parameter values as a text file, one value a line:
//
//   # a comment             ignored, as are blank lines and "[Page]" headers
//   [LCD]
//   3 2                     parameter 3 with the value "2"
//   309 Open the Door!      the value is everything after the first blank after the number
//   312                     an empty value ("312 " too)
//   SFMPAR 102 5            a fingerprint module value
//
// Values are kept byte for byte, inner and trailing blanks included; a CR before the line end is
// not part of the value.

struct TParamFileValue {
  int number = 0;
  std::string value;
  bool operator==(const TParamFileValue&) const = default;
};

// A file as parsed: the values in the order of the file.
struct TParamFile {
  std::vector<TParamFileValue> params;
  std::vector<TParamFileValue> module;  // the SFMPAR lines
};

// A file refused, with the line that made it so: nothing of it may be sent.
class TParamFileError : public std::runtime_error {
 public:
  TParamFileError(int line, const std::string& reason);
  const int Line;
  const std::string Reason;
};

// Raises TParamFileError for a number outside 1 to 504, an SFMPAR number the parameter screen
// does not know, an SFMPAR line without a value, a value longer than 70 characters or holding a
// control character or "|", a number given twice, and a line that is none of the forms above.
TParamFile ParseParamFile(std::string_view text);

// What a file shows of one page: its values in the page's order, or "# no answer" when the
// terminal gave none of them.
struct TParamFilePage {
  int page = 0;
  bool answered = true;
  std::vector<TParamFileValue> values;
};

// A fingerprint module value, or what the terminal said instead of one.
struct TModuleFileValue {
  int number = 0;
  std::optional<std::string> value;
  std::string reply;  // when there is no value
};

struct TParamFileContent {
  std::vector<std::string> header;  // comment lines at the top
  std::vector<TParamFilePage> pages;
  std::vector<TModuleFileValue> module;
};

// The page's values as the table holds them, leaving out the numbers given.
TParamFilePage PageOfTable(const TParamTable& table, int page, const std::vector<int>& leftOut = {});

// The file: the header, each page under its caption, then "[Fingerprint module]"; every value
// follows a comment with its caption and, for a list, its entries and their values.
std::string FormatParamFile(const TParamFileContent& content);

}  // namespace korvo
