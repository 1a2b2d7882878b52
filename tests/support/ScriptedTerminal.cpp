#include "support/ScriptedTerminal.h"

#include <cstdlib>

namespace korvo::test {

TScriptedTerminal::TScriptedTerminal(TFakeSerialLine& line, int address) : line_(line), address_(address) {
  line_.responder = [this](const std::string& written) { Received(written); };
}

void TScriptedTerminal::Received(const std::string& w) {
  if (!w.empty() && w.front() == ':') {
    if (w.size() < 9) {
      ++badFrames;
      return;
    }
    std::size_t length = std::strtoul(w.substr(1, 3).c_str(), nullptr, 16);
    int address = static_cast<int>(std::strtol(w.substr(4, 2).c_str(), nullptr, 16));
    std::string body = w.substr(0, w.size() - 2);
    if (length != w.size() || w[6] != ' ' || XorChecksumHex(body) != w.substr(w.size() - 2)) {
      ++badFrames;
      return;
    }
    if (address != address_) return;
    std::string piece = w.substr(7, w.size() - 9);
    framePieces.push_back(piece);
    std::string reply;
    if (piece == "5A") {
      if (!pending_.empty()) {
        reply = pending_.front();
        pending_.erase(pending_.begin());
      } else if (nextBlock) {
        reply = nextBlock();
      }
    } else if (framed) {
      pending_ = framed(piece);
      if (!pending_.empty()) {
        reply = pending_.front();
        pending_.erase(pending_.begin());
      }
    }
    if (!reply.empty()) line_.Send(reply, turnaroundMs, bytesPerMs);
    return;
  }
  if (w.empty() || w.back() != '\r') return;
  std::string text = w.substr(0, w.size() - 1);
  plainLines.push_back(text);
  if (!plain) return;
  std::string reply = plain(text);
  if (!reply.empty()) line_.Send(reply, turnaroundMs, bytesPerMs);
}

}  // namespace korvo::test
