#include "link/CommandText.h"
#include "link/ReplyTokens.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {

std::string TDM::ReadParameters(const std::string& address, const std::string& numberList) {
  std::vector<std::string> lines = SplitCommandLines(numberList);
  for (auto& line : lines) {
    const std::string reply = SendCommand(address, "PAR " + line);
    // The terminal answers "PAR", the number, "=" and the value, which may hold blanks itself.
    const auto tokens = SplitReplyTokens(reply);
    std::string value;
    for (std::size_t i = 3; i < tokens.size(); ++i) {
      if (i > 3) value += ' ';
      value += TrimControl(tokens[i]);
    }
    line = value;
    Ui.ProcessMessages();
  }
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

std::string TDM::SendCommandList(const std::string& address, const std::string& commandLines) {
  const std::vector<std::string> lines = SplitCommandLines(commandLines);
  Ui.ProgressNotice("0-" + std::to_string(static_cast<int>(lines.size()) - 1));
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Ui.ProgressNotice(std::to_string(i));
    out += SendCommand(address, lines[i]);
  }
  return out;
}

}  // namespace korvo
