#pragma once

#include <functional>
#include <string>
#include <vector>

namespace korvo {

struct TLinkContext;
class TDatabase;
class TParamTable;
class THardwareForm;

// Told the number of terminals of a send, then each time one more is done.
struct TSendProgress {
  std::function<void(int count)> Maximum;
  std::function<void(int done)> Position;
  // Told the replies of each target to the lines (not to the "RESTART" after them).
  std::function<void(const std::string& target, const std::string& replies)> Replies;
};

// What the operator chose to send.
struct TSendChoice {
  int page = 0;               // the page shown
  bool allPages = false;      // "All Page"
  bool allTerminals = false;  // "To All Korvo2K"
};

// "PAR n value" for each number, one per line; an empty value keeps the blank after the number.
std::string ParamCommandLines(const TParamTable& table, const std::vector<int>& numbers);

// The lines, then "RESTART", to each target in the order given. False when the operator stopped it
// before the last target.
bool SendToTerminals(TLinkContext& link, const std::vector<std::string>& targets, const std::string& lines,
                     const TSendProgress& progress);

// The addresses a send to every terminal walks: the last address first.
std::vector<std::string> TargetsDescending(TDatabase& db);

// Send: the controls stored into the table, the fingerprint module values to the current terminal,
// then the page's (or every page's) parameters and a restart to the current terminal or to every
// terminal. Refused, with a warning and nothing sent, while the form holds no values of a
// terminal. Any error ends it silently.
bool SendTerminalParams(TLinkContext& link, TDatabase& db, const std::string& currentAddress,
                        TParamTable& table, THardwareForm& form, const TSendChoice& choice,
                        const TSendProgress& progress);

extern const char* const kSendRefused;

}  // namespace korvo
