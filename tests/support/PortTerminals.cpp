#include "support/PortTerminals.h"

namespace korvo::test {

TPortTerminals::TPortTerminals(TFakeSerialLine& line) : line_(line) {
  line_.responder = [this](const std::string& written) {
    if (written.empty() || written.front() == ':' || written.back() != '\r' || line_.OpenedPorts().empty())
      return;
    const int port = line_.OpenedPorts().back();
    const std::string text = written.substr(0, written.size() - 1);
    auto it = answer.find(port);
    const bool listening = it != answer.end() && it->second;
    if (text == "SETLOGON 0") {
      if (listening) line_.Send("OK\r\n", 2);
      return;
    }
    lines.push_back(std::to_string(port) + ":" + text);
    const std::string reply = listening ? it->second(text) : std::string();
    if (!reply.empty()) line_.Send(reply, 2);
  };
}

}  // namespace korvo::test
