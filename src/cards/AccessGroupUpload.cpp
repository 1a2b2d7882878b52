#include "cards/AccessGroupUpload.h"

#include <stdexcept>

#include "link/LinkServices.h"
#include "store/Database.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {

namespace {

struct TMaskTooWideError : std::runtime_error {
  TMaskTooWideError() : std::runtime_error(kMaskTooWide) {}
};

std::string MaskOfShownLevel(const TCardPage& page, const std::string& desc) {
  const TAccessLevel* level = LevelByDesc(page.levels, desc);
  if (!level) return "00000";
  const auto mask = AccessMask(page.slotCodes, level->timeTables);
  if (!mask) throw TMaskTooWideError();
  return *mask;
}

// The row's PIN as a whole number in six digits; a blank PIN is "000000".
std::string PinAsNumber(const std::string& shown) {
  std::string pin = shown;
  while (!pin.empty() && pin.back() == ' ') pin.pop_back();
  while (!pin.empty() && pin.front() == ' ') pin.erase(0, 1);
  if (pin.empty()) return "000000";
  std::size_t used = 0;
  long long value = -1;
  try {
    value = std::stoll(pin, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != pin.size() || value < 0 || value > 999999)
    throw std::invalid_argument("'" + shown + "' is not a valid integer value");
  std::string digits = std::to_string(value);
  return std::string(6 - digits.size(), '0') + digits;
}

}  // namespace

std::vector<TAccessEntry> AccessGroupSendList(const TCardPage& page) {
  std::vector<TAccessEntry> list;
  for (const auto& row : page.rows) {
    if (!row.ticked) continue;
    std::optional<TAccessEntry> found;
    for (const auto& line : page.group)
      if (auto e = ParseAccessEntry(line); e && e->card == row.card) {
        found = e;
        break;
      }
    if (found) {
      list.push_back(*found);
      continue;
    }
    list.push_back({row.card, MaskOfShownLevel(page, row.access), PinAsNumber(row.pin),
                    MaskOfShownLevel(page, row.pinTime), "0"});
  }
  return list;
}

TCardSendReport SendAccessGroup(const TTableJob& job, const TCardPage& page,
                                const TCardSendRequest& request) {
  TOperatorUi& ui = job.Link.Ui;
  TCardSendReport report;
  ui.ProcessMessages();
  ui.ProgressNotice("");
  if (request.curLocation != request.caption) {
    ui.Warning("Can't access to " + request.caption);
    return report;
  }
  const std::string target = job.Settings.SelectedAddr();
  if (target.empty()) {
    ui.Warning("No terminal is chosen: choose one in the terminal tree before sending.");
    return report;
  }
  std::vector<TAccessEntry> list;
  try {
    list = AccessGroupSendList(page);
  } catch (const TMaskTooWideError& e) {
    ui.Warning(e.what());
    return report;
  } catch (const std::invalid_argument& e) {
    ui.Error(e.what());
    return report;
  }
  std::vector<std::string> lines;
  for (const auto& e : list) {
    lines.push_back(AccessEntryLine(e));
    report.records.push_back(AccessGroupRecord(e));
  }
  WriteTerminalList(job.Db, target, "fmAxGroup", lines);

  SendCommand(job.Link, target, list.empty() ? "PAR 22 0\r" : "PAR 22 1\r");
  ui.ProgressNotice(list.empty() ? std::string() : "0-" + std::to_string(list.size()));
  ui.ProcessMessages();
  const std::vector<std::string> texts = FileUploadTexts(kAccessGroupFile, report.records);
  bool taken = true;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string reply = SendCommand(job.Link, target, texts[i]);
    if (i >= 1 && LoadNotTaken(reply)) taken = false;
    if (i >= 2 && i + 1 < texts.size()) ui.ProgressNotice(std::to_string(i - 1));
  }
  if (taken) {
    ui.Information(kJobComplete);
    report.result = TTableSendResult::Done;
  } else {
    ui.Warning(kLoadNotTaken);
    report.result = TTableSendResult::NotTaken;
  }
  return report;
}

}  // namespace korvo
