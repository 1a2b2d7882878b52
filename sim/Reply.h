#pragma once

#include <string>

namespace korvosim {

// The line a conversation runs on; a few answers differ by it (template data, for one).
enum class Transport { Serial, Tcp, Modem };

// Completion tokens the PC waits for.
inline constexpr const char* kOk = "OK";
inline constexpr const char* kFail = "FAIL";
inline constexpr const char* kRecord = "Record";
inline constexpr const char* kEnd = "*";

// What a terminal answers to one command line.
struct Reply {
  std::string text;      // bytes as sent, line ends included; empty when the terminal stays quiet
  std::string token;     // the completion token at the end of `text`, or empty for a bare value
  bool listing = false;  // several lines closed by a "*" line
  bool binary = false;   // raw template bytes

  bool silent() const { return text.empty(); }
};

// One line (CR LF) ending in `token`, or a bare value when `token` is empty.
inline Reply lineReply(std::string body, const char* token = nullptr) {
  Reply r;
  if (token) {
    r.token = token;
    if (!body.empty()) body += ' ';
    body += token;
  }
  r.text = body + "\r\n";
  return r;
}

}  // namespace korvosim
