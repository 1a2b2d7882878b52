#include "link/CommandText.h"
#include "link/LinkServices.h"
#include "link/ReplyTokens.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

bool StopRequested(const TLinkContext& link) {
  return link.StopRequested && link.StopRequested();
}

}  // namespace

std::string ReadParameters(TLinkContext& link, const std::string& address, const std::string& numberList) {
  std::vector<std::string> lines = SplitCommandLines(numberList);
  bool stopped = false;
  for (auto& line : lines) {
    // After a stop the numbers not read yet keep no value.
    stopped = stopped || StopRequested(link);
    if (stopped) {
      line.clear();
      continue;
    }
    line = ParameterValue(SendCommand(link, address, "PAR " + line));
    link.Ui.ProcessMessages();
  }
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

int ReadCardDigits(TLinkContext& link, const std::string& address) {
  const std::string values = ReadParameters(link, address, "7");
  return CardDigitsOf(values.substr(0, values.find_first_of("\r\n")));
}

std::string SendCommandList(TLinkContext& link, const std::string& address, const std::string& commandLines) {
  const std::vector<std::string> lines = SplitCommandLines(commandLines);
  link.Ui.ProgressNotice("0-" + std::to_string(static_cast<int>(lines.size()) - 1));
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (StopRequested(link)) break;
    link.Ui.ProgressNotice(std::to_string(i));
    out += SendCommand(link, address, lines[i]);
  }
  return out;
}

}  // namespace korvo
