#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ReplyOverride.h"

namespace korvosim {

// What `korvo-sim` is asked to run.
struct CommandLine {
  bool serial = false;
  std::vector<int> addresses{1};
  bool framedOnly = false;
  bool plainOnly = false;
  std::vector<int> tcpPorts;  // one terminal per port; 0 picks a free one
  std::string bind = "127.0.0.1";
  bool modem = false;
  int dialDelayMs = 200;
  std::string dialOutcome = "connect";  // connect, busy, none, nocarrier
  std::optional<std::string> pushHost;
  int pushPort = 0;
  double rate = 1;
  int count = 10;
  std::string termNo = "001";
  int cardDigits = 6;
  int connections = 1;
  int holdMs = 0;
  std::vector<int> gapsMs;
  std::string lineEnd = "\r\n";
  std::string tail;
  bool sequential = false;
  std::string logon;
  std::vector<ReplyOverride> replies;             // every terminal gets them, in this order
  std::vector<std::string> refusedTemplateCards;  // every terminal refuses their template bytes
  int throttleBps = 0;
  int blockSize = 256;
  int records = 0;
  int days = 1;
  unsigned seed = 1;
  bool verbose = false;  // every command received goes to stderr
  bool ignoreStdin = false;
  bool help = false;
};

// Throws std::invalid_argument with a message for the user.
CommandLine parseCommandLine(const std::vector<std::string>& args);
const char* usageText();

}  // namespace korvosim
