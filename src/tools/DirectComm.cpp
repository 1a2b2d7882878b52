#include "tools/DirectComm.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "link/CommandText.h"
#include "link/LinkContext.h"
#include "link/LinkServices.h"
#include "store/AtomicFile.h"
#include "store/OperatorUi.h"
#include "tools/ConsoleLayouts.h"

namespace korvo {
namespace {

std::string LowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

}  // namespace

bool TDirectConsole::Run(const std::string& address, const std::string& boxText) {
  lastCommand_ = boxText;
  list_.Clear();
  try {
    const std::string command = UpperCase(boxText);
    if (Contains(command, "DELFILE") || Contains(command, "LOAD")) log_("Direct Command : " + command + ".");
    // Compared as typed: a blank before the phrase sends it to the terminal as any other text.
    if (LowerCase(boxText) == kDeleteAllPhrase) {
      DeleteAll(address);
      return true;
    }
    const bool boxEmpty = boxText.empty();
    const std::string reply = SendCommand(link_, address, boxEmpty ? "\r" : command);
    ShowReply(command, boxEmpty, reply, list_, [this] { link_.Ui.ProcessMessages(); });
    return true;
  } catch (const std::exception& e) {
    list_.Add(boxText);
    ui_.Error(e.what());
    return false;
  }
}

void TDirectConsole::DeleteAll(const std::string& address) {
  if (!ui_.AskYesNo(kDeleteAllQuestion)) {
    list_.Clear();
    list_.Add("");
    return;
  }
  SendCommand(link_, address, kDeleteAllText);
  // Logged as soon as the files are gone, whatever the listing after it shows.
  log_("Direct Command : Delete all table on terminal.");
  list_.Clear();
  ShowSystemFolder(SendCommand(link_, address, "DIR SYSTEM"), list_);
}

std::string ResultFileName(const std::string& chosen) {
  return Contains(chosen, ".txt") ? chosen : chosen + ".txt";
}

void SaveResultLines(const std::string& path, const std::vector<std::string>& lines) {
  // A listing may hold card numbers and names.
  CreatePrivately(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& line : lines) out << line << "\r\n";
  out.flush();
  if (!out) throw std::runtime_error("Cannot write the file " + path + ".");
}

}  // namespace korvo
