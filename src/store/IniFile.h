#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// A small INI editor that keeps every line it does not change exactly as it stands: comments, blank
// lines, other sections, spacing and line ends. Section and key names match without regard to
// letter case, and blanks around keys and values are ignored, as the usual INI readers do.
class TIniFile {
 public:
  static TIniFile Parse(std::string_view text);
  std::string Text() const;

  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Replaces the value in the key's own line; a missing key is appended after the last line of
  // its section, a missing section at the end of the file.
  void Write(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct TLine {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n" or "" for a last line without one
  };
  // Index range [begin, end) of the lines after the header of the first matching section.
  bool FindSection(std::string_view section, std::size_t& begin, std::size_t& end) const;
  std::string DefaultEol() const;

  std::vector<TLine> lines_;
};

}  // namespace korvo
