#pragma once

#include <string>
#include <string_view>

#include "Reply.h"
#include "Terminal.h"

namespace korvosim {

// The terminal's command language. Works on a terminal whose lock the caller holds.
class CommandInterpreter {
 public:
  CommandInterpreter(Terminal& terminal, SessionState& session, Transport transport)
      : t_(terminal), session_(session), transport_(transport) {}

  Reply run(std::string_view line);
  // What "RESTART" does, and what a power cut does to the state a conversation left.
  Reply restart();

 private:
  Reply blank() const;
  Reply refused(const std::string& word) const;
  Reply loadRecord(std::string_view line);
  Reply setLogon(const std::string& code);
  Reply par(const std::string& args);
  Reply listPar() const;
  Reply sfmPar(const std::string& args);
  Reply time(const std::string& args);
  Reply dir(const std::string& args) const;
  Reply type(const std::string& args) const;
  Reply typeTransAll() const;
  Reply templateTable() const;
  Reply systemLog() const;
  Reply delFile(const std::string& args);
  Reply load(const std::string& args);
  Reply flagTrans(const std::string& args);
  Reply addRec(const std::string& args);
  Reply tmpSave(const std::string& args);
  Reply tmpData(const std::string& args) const;

  Terminal& t_;
  SessionState& session_;
  Transport transport_;
};

// A listing: each line with CR LF, then the "*" line.
Reply listingReply(const std::vector<std::string>& lines);
// The one-line answer of a listing command that has nothing to list: its last word carries "?" and "*".
Reply listingError(const std::string& text);

}  // namespace korvosim
