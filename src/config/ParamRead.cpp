#include "config/ParamRead.h"

#include <algorithm>
#include <exception>

#include "config/HardwareForm.h"
#include "config/ParamCatalogue.h"
#include "config/ParamTable.h"
#include "link/CommandText.h"
#include "link/LinkServices.h"
#include "store/OperatorUi.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

bool StopRequested(const TLinkContext& link) {
  return link.StopRequested && link.StopRequested();
}

std::string NumberLines(const std::vector<int>& numbers) {
  std::string lines;
  for (int n : numbers) lines += std::to_string(n) + "\r\n";
  return lines;
}

// GETVER into the firmware label and the module values into their controls.
void ReadFirmwareAndModule(TLinkContext& link, const std::string& address, THardwareForm& form) {
  form.SetText("lFirmware", SendCommand(link, address, "GETVER"));
  for (int number : ModuleReadOrder) ApplyModuleValue(form, number, ReadModuleValue(link, address, number));
}

}  // namespace

TPageRead ReadParamPages(TLinkContext& link, const std::string& address, TParamTable& table) {
  std::vector<int> pages;
  for (int page = 0; page < kPageCount; ++page) pages.push_back(page);
  return ReadParamPages(link, address, table, pages);
}

TPageRead ReadParamPages(TLinkContext& link, const std::string& address, TParamTable& table,
                         const std::vector<int>& pages, std::vector<int>* silent) {
  if (!Contains(SendCommand(link, address, " "), "--")) return TPageRead::NoAccess;
  std::size_t total = 0;
  for (int page : pages) total += PageNumbers(page).size();
  link.Ui.ProgressNotice("0-" + std::to_string(total));
  int counter = 0;
  bool answered = false;
  for (int page : pages) {
    if (StopRequested(link)) return TPageRead::Stopped;
    const std::vector<int> numbers = PageNumbers(page);
    std::vector<std::string> values = SplitCommandLines(ReadParameters(link, address, NumberLines(numbers)));
    // A stop leaves the values not read empty: such a page is not stored at all.
    if (StopRequested(link)) return TPageRead::Stopped;
    values.resize(numbers.size());
    if (std::all_of(values.begin(), values.end(), [](const std::string& v) { return v.empty(); })) {
      if (silent) silent->push_back(page);
      continue;
    }
    answered = true;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      link.Ui.ProgressNotice(std::to_string(++counter));
      table.Set(numbers[i], values[i]);
    }
  }
  return answered ? TPageRead::Done : TPageRead::NoAnswer;
}

std::string ReadModuleValue(TLinkContext& link, const std::string& address, int number) {
  return TrimControl(SendCommand(link, address, "SFMPAR " + std::to_string(number)));
}

bool ReadTerminalParams(TLinkContext& link, const std::string& address, const std::string& location,
                        TParamTable& table, THardwareForm& form) {
  form.ValuesLoaded = false;
  try {
    switch (ReadParamPages(link, address, table)) {
      case TPageRead::Done:
        break;
      case TPageRead::NoAccess:
      case TPageRead::NoAnswer:
        link.Ui.Warning("Can't access to " + location);
        return false;
      case TPageRead::Stopped:
        return false;
    }
    table.SetFilled(true);
    ShowParams(form, table, TShowMode::Read);
    ReadFirmwareAndModule(link, address, form);
    form.SetText("pDirect", location);
    form.ValuesLoaded = true;
    return true;
  } catch (const std::exception&) {
    // What was stored and shown so far stays; the read simply did not succeed.
    return false;
  }
}

void ResetParams(TLinkContext& link, const std::string& address, const std::string& location,
                 const TParamTable& table, THardwareForm& form) {
  ShowParams(form, table, TShowMode::Reset);
  form.ValuesLoaded = table.Filled();
  ReadFirmwareAndModule(link, address, form);
  form.SetText("pDirect", location);
}

}  // namespace korvo
