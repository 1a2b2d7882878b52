#include "tools/Communication.h"

#include <charconv>

#include "link/CommandText.h"
#include "link/LinkServices.h"
#include "store/Database.h"
#include "store/OperatorUi.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

// Characters, not bytes: the limits are those of the settings record's text fields.
std::size_t CharacterCount(const std::string& utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool IsWholeNumber(const std::string& text) {
  const std::string t = TrimControl(text);
  if (t.empty()) return true;  // stored as 0
  long long value = 0;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size();
}

}  // namespace

std::optional<std::string> RefuseTerminalFields(const TTerminalFields& fields) {
  if (TrimControl(fields.address).empty()) return "The address must have a value.";
  const struct {
    const std::string& value;
    const char* name;
    std::size_t limit;
  } limits[] = {{fields.address, "address", 50},
                {fields.termNo, "terminal number", 3},
                {fields.location, "location", 15}};
  for (const auto& l : limits)
    if (CharacterCount(l.value) > l.limit)
      return "The " + std::string(l.name) + " " + l.value + " is longer than " + std::to_string(l.limit) +
             " characters.";
  if (!IsWholeNumber(fields.port)) return "The port " + fields.port + " is no whole number.";
  return std::nullopt;
}

std::optional<std::string> LocationWarning(TDatabase& db, const std::string& address) {
  TQuery q(db);
  q.SetSQL("SELECT fsLocation FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
  q.Open();
  if (q.IsEmpty()) return std::nullopt;
  const std::string location = TrimControl(q.Field(0).AsString());
  if (location.empty())
    return "The terminal " + address + " has no location: the windows name terminals by it.";
  TQuery others(db);
  others.SetSQL("SELECT fsAddr, fsLocation FROM tTerminals WHERE fsAddr <> ? ORDER BY fsAddr",
                {TextValue(address)});
  others.Open();
  for (others.First(); !others.Eof(); others.Next())
    if (TrimControl(others.Field(1).AsString()) == location)
      return "The location " + location + " of the terminal " + address +
             " is also the location of the terminal " + others.Field(0).AsString() +
             ": the windows name terminals by it.";
  return std::nullopt;
}

bool TestCommunication(TLinkContext& link, TOperatorUi& ui, const std::string& address) {
  const bool ok = Contains(UpperCase(SendCommand(link, address, "GETVER")), "KORVO");
  if (ok)
    ui.Information(kCommunicationOk);
  else
    ui.Error(kCommunicationError);
  return ok;
}

}  // namespace korvo
