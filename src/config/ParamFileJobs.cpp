#include "config/ParamFileJobs.h"

#include <algorithm>
#include <charconv>

#include "config/HardwareForm.h"
#include "config/ParamCatalogue.h"
#include "config/ParamSend.h"
#include "config/ParamTable.h"
#include "link/CommandText.h"
#include "link/LinkServices.h"

namespace korvo {
namespace {

bool StopRequested(const TLinkContext& link) {
  return link.StopRequested && link.StopRequested();
}

bool ReadsAsInteger(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  long long value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  return first != last && ec == std::errc() && end == last;
}

// A line of the reply got no answer.
bool AnyUnanswered(const std::string& reply) {
  const auto lines = SplitCommandLines(reply);
  return std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return TrimControl(l) == "--"; });
}

void AddOnce(std::vector<std::string>& addresses, const std::string& address) {
  if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) addresses.push_back(address);
}

}  // namespace

// The Send after Default stores neither the serial port lists (19, 20, 21, 31) nor the relay not
// selected (210, 212): it sends what the last read left in the table for them.
const std::vector<int> DefaultLeftOut = {19, 20, 21, 31, 210, 212};

TParamFileRead ReadParamFile(TLinkContext& link, const std::string& address, const std::string& location,
                             const std::vector<int>& pages) {
  TParamFileRead read;
  TParamTable table;
  std::vector<int> silent;
  read.result = ReadParamPages(link, address, table, pages, &silent);
  if (read.result != TPageRead::Done) return read;
  const std::string firmware = TrimControl(SendCommand(link, address, "GETVER"));
  read.content.header = {"Terminal parameters", "Address: " + address, "Location: " + location,
                         "Firmware version: " + firmware};
  for (int page : pages) {
    const bool answered = std::find(silent.begin(), silent.end(), page) == silent.end();
    TParamFilePage p = answered ? PageOfTable(table, page) : TParamFilePage{page, false, {}};
    read.content.pages.push_back(std::move(p));
  }
  bool complete = silent.empty();
  for (int number : ModuleReadOrder) {
    if (StopRequested(link)) {
      read.result = TPageRead::Stopped;
      return read;
    }
    TModuleFileValue m{number, std::nullopt, ReadModuleValue(link, address, number)};
    if (ReadsAsInteger(m.reply)) {
      m.value = std::move(m.reply);
      m.reply.clear();
    } else {
      complete = false;
    }
    read.content.module.push_back(std::move(m));
  }
  read.complete = complete;
  return read;
}

TParamFileContent DefaultParamFile() {
  THardwareForm form;
  ShowDefaults(form);
  TParamTable table;
  StoreParams(form, table);
  TParamFileContent content;
  std::string leftOut;
  for (int n : DefaultLeftOut) leftOut += " " + std::to_string(n);
  content.header = {"Factory values of the parameter screen (Default)",
                    "Left out, as a Send takes them from the values last read:" + leftOut};
  for (int page = 0; page < kPageCount; ++page)
    content.pages.push_back(PageOfTable(table, page, DefaultLeftOut));
  for (int number : ModuleReadOrder)
    content.module.push_back({number, StoredValue(form, *FindModuleParam(number)), {}});
  return content;
}

TParamFileSend SendParamFile(TLinkContext& link, const TParamFile& file, const std::string& address,
                             const std::vector<std::string>& targets) {
  TParamFileSend sent;
  for (int number : ModuleSendOrder) {
    const auto it = std::find_if(file.module.begin(), file.module.end(),
                                 [number](const TParamFileValue& v) { return v.number == number; });
    if (it == file.module.end()) continue;
    if (StopRequested(link)) {
      sent.stopped = true;
      return sent;
    }
    const std::string command = "SFMPAR " + std::to_string(number) + " " + it->value;
    if (AnyUnanswered(SendCommand(link, address, command))) AddOnce(sent.silent, address);
  }
  if (file.params.empty()) return sent;
  TParamTable table;
  std::vector<int> numbers;
  for (const auto& v : file.params) {
    table.Set(v.number, v.value);
    numbers.push_back(v.number);
  }
  TSendProgress progress;
  progress.Replies = [&sent](const std::string& target, const std::string& replies) {
    if (AnyUnanswered(replies)) AddOnce(sent.silent, target);
  };
  sent.stopped = !SendToTerminals(link, targets, ParamCommandLines(table, numbers), progress);
  return sent;
}

}  // namespace korvo
