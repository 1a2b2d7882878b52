#include "tables/TableUpload.h"

#include <algorithm>
#include <stdexcept>

#include "link/CommandText.h"
#include "link/LinkServices.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "tables/ListField.h"
#include "tables/MessageEditor.h"
#include "tables/TableText.h"

namespace korvo {

const char* const kJobComplete = "Job Complete.";
const char* const kTimeTablesChanged =
    "The time tables of this terminal have changed. The access masks of its cardholders still point at "
    "the time tables it had before: send its access group again (Cardholders, Send).";
const char* const kLoadNotTaken =
    "The terminal did not take the whole file: it refused the load or a record, or stopped answering. Check "
    "the terminal and send again.";

namespace {

bool HasTerminalRow(TDatabase& db, const std::string& address) {
  TQuery q(db);
  q.SetSQL("SELECT fsAddr FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
  q.Open();
  return !q.IsEmpty();
}

// Why SEND cannot go to this address, or empty.
std::string TargetReason(TDatabase& db, const std::string& address) {
  if (address.empty()) return "No terminal is chosen: choose one in the terminal tree before sending.";
  if (!HasTerminalRow(db, address)) return "No terminal has the address " + address + ".";
  return {};
}

bool Confirmed(const TTableJob& job, const TTableSendRequest& request, const std::string& target) {
  if (request.check == TAccessCheck::Caption) return request.caption == request.curLocation;
  return Contains(SendCommand(job.Link, target, "GETVER"), "KORVO");
}

// The upper bound of the meter's range; no range for an empty list.
int MeterBound(TTablePage page, std::size_t records) {
  const int n = static_cast<int>(records);
  return page == TTablePage::Access ? n - 1 : n;
}

// False when the load line was not taken.
bool Upload(const TTableJob& job, TTablePage page, const std::string& target,
            const std::vector<std::string>& records) {
  TOperatorUi& ui = job.Link.Ui;
  int maximum = ui.ProgressMaximum();
  if (!records.empty()) {
    maximum = MeterBound(page, records.size());
    ui.ProgressNotice("0-" + std::to_string(maximum));
  }
  const std::vector<std::string> texts = UploadCommandTexts(page, records);
  // The records are the texts between the load and the closing "*".
  const bool perRecord = page != TTablePage::IDCard;
  bool taken = true;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string reply = SendCommand(job.Link, target, texts[i]);
    if (perRecord && i >= 1 && LoadNotTaken(reply)) taken = false;
    if (perRecord && i >= 2 && i + 1 < texts.size()) ui.ProgressNotice(std::to_string(i - 1));
  }
  ui.ProgressNotice(std::to_string(maximum));
  return taken;
}

}  // namespace

TTableJob TableJobOf(TDM& dm) {
  return {dm.Link, dm.ADOC, dm.Settings};
}

void TickTimeTablesOfTickedLevels(TDatabase& db, TTablePageModel& model) {
  TickAll(model.timeTables, false);
  TQuery q(db);
  q.SetSQL("SELECT * FROM tAccess ORDER BY fnAcsCode");
  q.Open();
  for (const auto& level : model.levels) {
    if (!level.ticked || !SeekRecord(q, std::to_string(level.row.code), "fnAcsCode")) continue;
    const std::vector<std::string> codes = ListLines(q.FieldByName("fmAcsTTLst").AsString());
    for (auto& t : model.timeTables)
      if (std::find(codes.begin(), codes.end(), std::to_string(t.row.code)) != codes.end()) t.ticked = true;
  }
}

std::vector<std::string> PageListLines(const TTablePageModel& m) {
  std::vector<std::string> lines;
  switch (m.page) {
    case TTablePage::Holidays:
      for (const auto& h : m.holidays)
        if (h.ticked && !TrimControl(h.row.date).empty()) lines.push_back(TrimControl(h.row.date));
      break;
    case TTablePage::Access:
      for (const auto& l : m.levels)
        if (l.ticked) lines.push_back(std::to_string(l.row.code));
      break;
    case TTablePage::Alarm:
      for (const auto& a : m.alarms)
        if (a.ticked) lines.push_back(AlarmFileRecord(a.row));
      break;
    case TTablePage::Expired:
      for (const auto& e : m.expiries)
        if (e.ticked) lines.push_back(ExpiryLine(e.row));
      break;
    case TTablePage::Message:
      for (const auto& c : m.cards)
        if (c.ticked && !MessageLine(c.row).empty()) lines.push_back(MessageLine(c.row));
      break;
    case TTablePage::IDCard:
      for (const auto& c : m.cards)
        if (c.ticked) lines.push_back(IDCardLine(c.row));
      break;
    default:
      for (const auto& c : m.cards)
        if (c.ticked) lines.push_back(c.row.card);
      break;
  }
  return lines;
}

std::vector<std::string> TimeTableListLines(const TTablePageModel& m) {
  std::vector<std::string> lines;
  for (const auto& t : m.timeTables)
    if (t.ticked) lines.push_back(std::to_string(t.row.code));
  return lines;
}

std::vector<std::string> PageFileRecords(const TTablePageModel& m, const std::vector<std::string>& listLines,
                                         int cardDigits) {
  std::vector<std::string> records;
  switch (m.page) {
    case TTablePage::Access:
      for (const auto& t : m.timeTables)
        if (t.ticked) records.push_back(TimeTableFileRecord(t.row));
      break;
    case TTablePage::Blacklist:
    case TTablePage::Special:
    case TTablePage::Admin:
      for (const auto& line : listLines) records.push_back(CardFileRecord(line));
      break;
    case TTablePage::Message:
      for (const auto& line : listLines) records.push_back(MessageFileRecord(line, cardDigits));
      break;
    default:
      records = listLines;
      break;
  }
  if (PageInfo(m.page).sorted)
    std::stable_sort(records.begin(), records.end(),
                     [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
  return records;
}

std::vector<std::string> UploadCommandTexts(TTablePage page, const std::vector<std::string>& records) {
  if (page == TTablePage::IDCard) {
    std::string adds;
    for (const auto& line : records) adds += "ADDREC IDLOOKUP " + line + "\r\n";
    return {"LOCKSYS\rDELFILE IDLOOKUP\rUNLOCKSYS", adds + "\r"};
  }
  // The holiday load has always gone without its CR; the terminals take it.
  return FileUploadTexts(std::string("SYSTEM\\") + PageInfo(page).fileName, records,
                         page != TTablePage::Holidays);
}

std::vector<std::string> FileUploadTexts(const std::string& path, const std::vector<std::string>& records,
                                         bool loadWithCr) {
  std::vector<std::string> texts{"LOCKSYS\rDELFILE " + path + "\r",
                                 loadWithCr ? "LOAD " + path + "\r" : "LOAD " + path};
  for (const auto& record : records) texts.push_back(record + "\r");
  texts.emplace_back("*\rUNLOCKSYS");
  return texts;
}

bool LoadNotTaken(const std::string& reply) {
  return Contains(reply, "--") || Contains(reply, "FAIL");
}

TTableSendReport SendTablePage(const TTableJob& job, TTablePageModel& model,
                               const TTableSendRequest& request) {
  const TTablePageInfo& info = PageInfo(model.page);
  if (model.page == TTablePage::Biometrics)
    throw std::invalid_argument("The Biometrics page sends fingerprint templates, not a table file.");
  TOperatorUi& ui = job.Link.Ui;
  TTableSendReport report;
  ui.ProgressNotice("");

  const std::string selected = job.Settings.SelectedAddr();
  const std::string target = info.listPage ? model.address : selected;
  for (const auto& address : {selected, target}) {
    if (std::string reason = TargetReason(job.Db, address); !reason.empty()) {
      ui.Warning(reason);
      return report;
    }
  }
  int cardDigits = ReadCardDigits(job.Link, selected);
  if (!Confirmed(job, request, target)) {
    ui.Warning("Can't access to " + request.caption);
    return report;
  }

  if (model.page == TTablePage::Access) TickTimeTablesOfTickedLevels(job.Db, model);
  const std::vector<std::string> lines = PageListLines(model);
  for (const auto& line : lines) {
    if (!UnsafeTextReason(line, "line").empty()) {
      ui.Warning("Nothing was sent: the line \"" + line +
                 "\" holds \"|\" or a control character, which the terminal line would take apart.");
      return report;
    }
  }
  if (info.listPage) job.Settings.SetSelectedAddr(target);
  report.target = target;
  WriteTerminalList(job.Db, target, info.listField, lines);
  if (model.page == TTablePage::Access) {
    const std::vector<std::string> timeTables = TimeTableListLines(model);
    report.timeTablesChanged = ReadTerminalList(job.Db, target, "fmTimeTbl") != timeTables;
    WriteTerminalList(job.Db, target, "fmTimeTbl", timeTables);
  }
  // The message records take the card digits of the terminal they go to.
  if (model.page == TTablePage::Message && target != selected) cardDigits = ReadCardDigits(job.Link, target);
  report.records = PageFileRecords(model, lines, cardDigits);

  bool taken = true;
  try {
    taken = Upload(job, model.page, target, report.records);
  } catch (...) {
    if (report.timeTablesChanged) ui.Warning(kTimeTablesChanged);
    throw;
  }
  if (taken)
    ui.Information(kJobComplete);
  else
    ui.Warning(kLoadNotTaken);
  if (report.timeTablesChanged) ui.Warning(kTimeTablesChanged);
  report.result = taken ? TTableSendResult::Done : TTableSendResult::NotTaken;
  return report;
}

}  // namespace korvo
