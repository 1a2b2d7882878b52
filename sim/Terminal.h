#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileStore.h"
#include "ParameterTable.h"
#include "Reply.h"
#include "ReplyOverride.h"
#include "TemplateStore.h"
#include "TerminalClock.h"

namespace korvosim {

struct TerminalOptions {
  std::string version = "KORVO2K/Bio Ver 2.00";
  // When not empty, every command but "SETLOGON" is refused until "SETLOGON " + this code.
  std::string logonCode;
  // What an empty or blank line is answered with; no answer at all when empty.
  std::optional<std::string> blankReply = std::string("--");
  // How long a "TMPSAVE" waits for its template bytes.
  std::chrono::milliseconds templateWait{10000};
  std::size_t logLimit = 200;
  // Cards whose template bytes the module refuses (see `Terminal::refuseTemplateBytes`).
  std::vector<std::string> refusedTemplateCards{};
  // Scripted answers in force from the start (see `Terminal::addReplyOverride`).
  std::vector<ReplyOverride> replyOverrides{};
};

// State of one conversation with a terminal: a TCP connection, a modem call, or the serial line.
struct SessionState {
  bool loggedOn = false;
};

// One simulated terminal: parameters, files, clock, templates, logon code, system log, and the command
// language that works on them. Thread-safe: front ends run commands on their threads while tests read and
// change the state from theirs.
class Terminal {
 public:
  explicit Terminal(TerminalOptions options = {});

  // Runs one command line (without its line end) and gives the answer.
  Reply execute(std::string_view line, SessionState& session, Transport transport);
  // True while a "TMPSAVE" waits for its template bytes: the next raw bytes of a stream are the template.
  bool awaitingTemplate() const;
  // Takes the bytes that followed "TMPSAVE" as the template.
  Reply storeTemplate(std::string bytes);

  // Identity and logon.
  std::string version() const;
  void setVersion(std::string version);
  std::string logonCode() const;
  void setLogonCode(std::string code);
  void setBlankReply(std::optional<std::string> reply);

  // Scripted answers: checked before anything else for every line `execute` gets, load records included.
  // Throws std::invalid_argument for an override without a match or with a negative count.
  void addReplyOverride(ReplyOverride o);
  void clearReplyOverrides();
  std::vector<ReplyOverride> replyOverrides() const;  // those in force, `times` as uses left

  // Parameters.
  std::string param(int number) const;
  void setParam(int number, std::string value);
  std::string sfmParam(int number) const;
  void setSfmParam(int number, std::string value);
  void resetParams();

  // Clock.
  std::string clockText() const;  // the 15 digits "TIME" answers
  CivilTime clock() const;
  void setClock(const CivilTime& time);
  bool setClockText(std::string_view digits);
  void freezeClock(bool frozen);

  // Files; paths as the terminal names them ("TRANS\010124.DAT", "SYSTEM\HOLITBL.DAT", "IDLOOKUP").
  bool hasFile(const std::string& path) const;
  std::vector<std::string> file(const std::string& path) const;
  bool setFile(const std::string& path, std::vector<std::string> records);
  bool removeFile(const std::string& path);
  bool fileFlagged(const std::string& path) const;
  std::vector<std::string> files(const std::string& folder) const;
  bool hasFolder(const std::string& folder) const;

  // Templates.
  // The module refuses the bytes that follow an accepted "TMPSAVE card": they are answered "FAIL" and not
  // stored. `times` limits it to the first so many templates of the card; 0: all of them.
  void refuseTemplateBytes(const std::string& card, int times = 0);
  void setTemplate(const std::string& card, int finger, std::string bytes);
  std::optional<std::string> templateBytes(const std::string& card, int finger) const;
  std::vector<TemplateStore::Key> templates() const;

  // What the commands did.
  bool locked() const;
  int restarts() const;
  std::optional<std::string> loading() const;  // the file a "LOAD" is filling, until "*"
  std::vector<std::string> systemLog() const;

 private:
  friend class CommandInterpreter;
  void log(const std::string& event);  // with the lock held

  mutable std::mutex mutex_;
  TerminalOptions options_;
  ParameterTable params_;
  FileStore files_;
  TemplateStore templates_;
  TerminalClock clock_;
  bool locked_ = false;
  int restarts_ = 0;
  std::optional<std::string> loading_;
  struct PendingTemplate {
    std::string card;
    int finger = 0;
    std::chrono::steady_clock::time_point expires;
  };
  std::optional<PendingTemplate> pendingTemplate_;
  // Cards whose template bytes are refused, with the refusals left (0: no limit).
  std::map<std::string, int> refusedTemplates_;
  std::deque<std::string> log_;
  ReplyOverrides overrides_;
};

}  // namespace korvosim
