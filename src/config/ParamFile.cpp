#include "config/ParamFile.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "config/ParamCatalogue.h"
#include "config/ParamTable.h"

namespace korvo {
namespace {

constexpr std::string_view kModulePrefix = "SFMPAR ";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsComment(std::string_view line) {
  return line.front() == '#';
}

bool IsPageHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Zero for digits too many for an int: such a number is outside every range anyway.
int NumberOf(std::string_view digits) {
  int n = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return ec == std::errc() && end == digits.data() + digits.size() ? n : 0;
}

// Why a value cannot be sent as it stands, or empty when it can. A control character or a "|" would
// reach the terminal as a line or a piece of its own: a command nobody wrote.
std::string ValueFault(std::string_view value) {
  if (value.size() > kParamValueLength)
    return "the value has " + std::to_string(value.size()) + " characters, more than " +
           std::to_string(kParamValueLength);
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return "the value holds a control character";
    if (c == '|') return "the value holds \"|\", which would go to the terminal as a command of its own";
  }
  return {};
}

std::string ModuleNumbers() {
  std::string list;
  for (std::size_t i = 0; i < ModuleReadOrder.size(); ++i) {
    if (i > 0) list += i + 1 == ModuleReadOrder.size() ? " or " : ", ";
    list += std::to_string(ModuleReadOrder[i]);
  }
  return list;
}

// A comment holds one line: whatever would end it becomes a blank.
std::string OneLine(std::string text) {
  for (auto& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

std::string Entries(const TParamSpec& spec, const TControlSpec& control) {
  std::string text;
  for (std::size_t i = 0; i < control.items.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(static_cast<int>(i) + spec.offset) + " = " + control.items[i];
  }
  return text;
}

std::string RelayBits() {
  std::string text;
  for (const auto& box : RelayBoxes()) {
    if (!text.empty()) text += ", ";
    text += "bit " + std::to_string(box.bit) + " " + box.caption;
    // FKEY and Aux set the bit of another box as well.
    for (int bit = 0; bit < 63; ++bit)
      if (bit != box.bit && ((box.mask >> bit) & 1)) text += " (with bit " + std::to_string(bit) + ")";
  }
  return text;
}

// The caption of a value and how it is written.
std::string Description(const TParamSpec& spec) {
  const TControlSpec* control = spec.control.empty() ? nullptr : FindControl(spec.control);
  std::string text = spec.caption;
  switch (spec.coding) {
    case TParamCoding::Index:
      if (control) text += ": " + Entries(spec, *control);
      break;
    case TParamCoding::Flag:
      text += ": 1 = on, 0 = off";
      break;
    case TParamCoding::Number:
      if (control && (control->minimum != 0 || control->maximum != 0))
        text += ": " + std::to_string(control->minimum) + " to " + std::to_string(control->maximum);
      break;
    case TParamCoding::Address:
      text += ": dotted address";
      break;
    case TParamCoding::Text:
      if (control && control->maxLength > 0)
        text += ": text of at most " + std::to_string(control->maxLength) + " characters";
      break;
    case TParamCoding::RelayMask:
      text += ": " + RelayBits();
      break;
    case TParamCoding::IdleMask:
    case TParamCoding::ReverseTimes:
      break;
  }
  return text;
}

std::string ValueLine(const std::string& key, const std::string& value) {
  return value.empty() ? key + "\n" : key + " " + value + "\n";
}

}  // namespace

TParamFileError::TParamFileError(int line, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ": " + reason), Line(line), Reason(reason) {}

TParamFile ParseParamFile(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  TParamFile file;
  std::map<int, int> paramLines, moduleLines;  // number -> the line that gave it
  int lineNo = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsBlankLine(line) || IsComment(line) || IsPageHeader(line)) continue;

    const bool module = line.starts_with(kModulePrefix);
    std::string_view rest = module ? line.substr(kModulePrefix.size()) : line;
    const std::size_t blank = rest.find(' ');
    const std::string_view digits = rest.substr(0, blank);
    const std::string_view value =
        blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    if (!AllDigits(digits))
      throw TParamFileError(lineNo, module ? "SFMPAR wants a number, a blank and the value"
                                           : "not a parameter line: \"n value\", \"SFMPAR n value\", a "
                                             "\"#\" comment or a \"[Page]\" header was expected");
    const int n = NumberOf(digits);
    const std::string name = (module ? "SFMPAR " : "parameter ") + std::string(digits);
    if (module && !FindModuleParam(n))
      throw TParamFileError(lineNo, name + " is no fingerprint module value; those are " + ModuleNumbers());
    if (!module && !TParamTable::Valid(n))
      throw TParamFileError(lineNo, "parameter number " + std::string(digits) + " is outside " +
                                        std::to_string(kFirstParam) + " to " + std::to_string(kLastParam));
    if (module && value.empty()) throw TParamFileError(lineNo, name + " has no value");
    if (const std::string fault = ValueFault(value); !fault.empty()) throw TParamFileError(lineNo, fault);
    auto& seen = module ? moduleLines : paramLines;
    if (auto [it, fresh] = seen.emplace(n, lineNo); !fresh)
      throw TParamFileError(lineNo,
                            name + " is given twice (first on line " + std::to_string(it->second) + ")");
    (module ? file.module : file.params).push_back({n, std::string(value)});
  }
  return file;
}

TParamFilePage PageOfTable(const TParamTable& table, int page, const std::vector<int>& leftOut) {
  TParamFilePage result;
  result.page = page;
  for (int n : PageNumbers(page))
    if (std::find(leftOut.begin(), leftOut.end(), n) == leftOut.end()) result.values.push_back({n, table[n]});
  return result;
}

std::string FormatParamFile(const TParamFileContent& content) {
  std::string text;
  for (const auto& line : content.header) text += "# " + OneLine(line) + "\n";
  for (const auto& page : content.pages) {
    text += "\n[" + std::string(PageNames.at(static_cast<std::size_t>(page.page))) + "]\n";
    if (!page.answered) {
      text += "# no answer\n";
      continue;
    }
    for (const auto& v : page.values) {
      if (const TParamSpec* spec = FindParam(v.number)) text += "# " + Description(*spec) + "\n";
      text += ValueLine(std::to_string(v.number), v.value);
    }
  }
  if (content.module.empty()) return text;
  text += "\n[Fingerprint module]\n";
  for (const auto& m : content.module) {
    if (const TParamSpec* spec = FindModuleParam(m.number)) text += "# " + Description(*spec) + "\n";
    const std::string key = "SFMPAR " + std::to_string(m.number);
    if (m.value)
      text += ValueLine(key, *m.value);
    else if (m.reply.empty() || m.reply == "--")
      text += "# " + key + ": no answer\n";
    else
      text += "# " + key + ": no value, the terminal answered " + OneLine(m.reply) + "\n";
  }
  return text;
}

}  // namespace korvo
