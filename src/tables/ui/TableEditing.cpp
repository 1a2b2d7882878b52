// The editors of the Tables window: what a row click puts into them, and their buttons.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>

#include "config/ui/TypingLimit.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "tables/MessageEditor.h"
#include "tables/RowTexts.h"
#include "tables/TableEditors.h"
#include "tables/TableRecords.h"
#include "tables/TableText.h"
#include "tables/ui/Table.h"
#include "tables/ui/TickListModel.h"
#include "ui_Table.h"

namespace korvo {
namespace {

constexpr int kDescChars = 30;
constexpr int kCardChars = 30;
// The sheets of the two parts of the Access page.
constexpr int kListSheet = 0;
constexpr int kEditSheet = 1;

std::string Text(const QLineEdit* edit) {
  return edit->text().toStdString();
}

// A masked field as it stands, a digit left out as a blank: " 8:00:00", "  :  ".
std::string Masked(const QLineEdit* edit) {
  return edit->displayText().toStdString();
}

void Show(QLineEdit* edit, const std::string& text) {
  TTypingLimit::SetText(edit, QString::fromStdString(text));
}

// "HHMMSS" or "HHMM" into a field masked with colons between the pairs of digits.
void ShowPairs(QLineEdit* edit, const std::string& digits) {
  std::string shown;
  for (std::size_t i = 0; i < digits.size(); i += 2) shown += (i == 0 ? "" : ":") + digits.substr(i, 2);
  edit->setText(QString::fromStdString(shown));
}

TDayBoxes BoxesOf(const std::array<QCheckBox*, 8>& boxes) {
  TDayBoxes days{};
  for (std::size_t i = 0; i < boxes.size(); ++i) days[i] = boxes[i]->isChecked();
  return days;
}

void ShowBoxes(const std::array<QCheckBox*, 8>& boxes, int mask) {
  const TDayBoxes days = DayBoxesOf(mask);
  for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setChecked(days[i]);
}

}  // namespace

void TfTable::ConnectEditors() {
  const std::pair<QLineEdit*, int> limits[] = {{ui_->meHDesc, kDescChars},
                                               {ui_->meAcsDesc, kDescChars},
                                               {ui_->meTTDesc, kDescChars},
                                               {ui_->meMessage, kMessageChars},
                                               {ui_->meCardNumber, kCardChars},
                                               {ui_->meAcsCode, 0},
                                               {ui_->meTTCode, 0},
                                               {ui_->meACode, 0}};
  for (const auto& [edit, limit] : limits) edit->setValidator(new TTypingLimit(limit, edit));
  ui_->seADur->setRange(0, 255);
  ui_->seADur->setValue(1);

  const std::pair<QPushButton*, void (TfTable::*)()> buttons[] = {
      {ui_->bbHAE, &TfTable::bbHAEClick},      {ui_->bbHDel, &TfTable::bbHDelClick},
      {ui_->BitBtn2, &TfTable::BitBtn2Click},  {ui_->BitBtn1, &TfTable::BitBtn1Click},
      {ui_->bbTTAE, &TfTable::bbTTAEClick},    {ui_->bbTTDel, &TfTable::bbTTDelClick},
      {ui_->bbAAE, &TfTable::bbAAEClick},      {ui_->bbADel, &TfTable::bbADelClick},
      {ui_->bbMAE, &TfTable::bbMAEClick},      {ui_->bbExpAE, &TfTable::bbExpAEClick},
      {ui_->bbExpDel, &TfTable::bbExpDelClick}};
  for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);

  // A level is edited with the time tables in view, and a time table with the levels in view.
  connect(ui_->pcTimeTable, &QTabWidget::currentChanged, this, [this](int sheet) {
    if (sheet == kEditSheet) ui_->pcAccess->setCurrentIndex(kListSheet);
  });
  connect(ui_->pcAccess, &QTabWidget::currentChanged, this, [this](int sheet) {
    if (sheet == kEditSheet) ui_->pcTimeTable->setCurrentIndex(kListSheet);
  });
  ui_->deExpired->setDate(QDate::currentDate());
  connect(ui_->deExpired, &QDateEdit::userDateChanged, this,
          [this](const QDate& date) { ui_->meExpired->setText(date.toString("ddMMyy")); });

  // A click on a row, or the keyboard moving onto it.
  const std::pair<QListView*, TTablePage> lists[] = {
      {ui_->clbHolidays, TTablePage::Holidays}, {ui_->clbAccess, TTablePage::Access},
      {ui_->clbTimeTable, TTablePage::Access},  {ui_->clbAlarm, TTablePage::Alarm},
      {ui_->clbMessage, TTablePage::Message},   {ui_->clbExpired, TTablePage::Expired}};
  for (const auto& [view, page] : lists) {
    auto click = [this, page = page, view = view](const QModelIndex& index) {
      if (index.isValid()) RowClick(page, view, index.row());
    };
    connect(view, &QAbstractItemView::clicked, this, click);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, click);
  }
}

void TfTable::RowClick(TTablePage page, QAbstractItemView* view, int row) {
  const auto i = static_cast<std::size_t>(row);
  switch (page) {
    case TTablePage::Holidays:
      if (i < model_.holidays.size()) {
        const THolidayEditor e = HolidayEditorOf(model_.holidays[i].row);
        ui_->meHDate->setText(QString::fromStdString(e.date));
        Show(ui_->meHDesc, e.desc);
      }
      break;
    case TTablePage::Access:
      if (view == ui_->clbAccess)
        LevelClick(row);
      else
        TimeTableClick(row);
      break;
    case TTablePage::Alarm:
      if (i < model_.alarms.size()) {
        const TAlarmEditor e = AlarmEditorOf(model_.alarms[i].row);
        Show(ui_->meACode, e.code);
        ShowPairs(ui_->meATime, e.time);
        ui_->seADur->setValue(e.duration);
        ui_->cbR1->setChecked(e.relay1);
        ui_->cbR2->setChecked(e.relay2);
        ShowBoxes(
            {ui_->cbSun, ui_->cbMon, ui_->cbTue, ui_->cbWed, ui_->cbThu, ui_->cbFri, ui_->cbSat, ui_->cbHol},
            e.days);
      }
      break;
    case TTablePage::Message:
      if (i < model_.cards.size()) Show(ui_->meMessage, MessageEditorText(model_.cards[i].row));
      break;
    case TTablePage::Expired:
      if (i < model_.expiries.size()) {
        const TExpiryEditor e = ExpiryEditorOf(model_.expiries[i].row);
        Show(ui_->meCardNumber, e.card);
        ui_->meExpired->setText(QString::fromStdString(e.date));
      }
      break;
    default:
      break;
  }
}

void TfTable::LevelClick(int row) {
  const auto i = static_cast<std::size_t>(row);
  if (i >= model_.levels.size()) return;
  const TAccessLevel& level = model_.levels[i].row;
  ui_->pcTimeTable->setCurrentIndex(kListSheet);
  TickTimeTablesOf(model_.timeTables, level);
  timeTables_->Refresh();
  const TAccessEditor e = AccessEditorOf(level);
  Show(ui_->meAcsCode, e.code);
  Show(ui_->meAcsDesc, e.desc);
}

void TfTable::TimeTableClick(int row) {
  const auto i = static_cast<std::size_t>(row);
  if (i >= model_.timeTables.size()) return;
  const TTimeTableEditor e = TimeTableEditorOf(model_.timeTables[i].row);
  Show(ui_->meTTCode, e.code);
  Show(ui_->meTTDesc, e.desc);
  ShowPairs(ui_->meTTStart, e.start);
  ShowPairs(ui_->meTTEnd, e.end);
  ShowBoxes({ui_->cbTTSun, ui_->cbTTMon, ui_->cbTTTue, ui_->cbTTWed, ui_->cbTTThu, ui_->cbTTFri, ui_->cbTTSat,
             ui_->cbTTHol},
            e.days);
}

void TfTable::EditorAction(const std::function<TEditResult()>& action) {
  Guarded([&] {
    const TEditResult result = action();
    if (result.outcome == TEditOutcome::Refused) dm_.Ui.Warning(result.reason);
  });
  pcTableChange();
}

void TfTable::TimeTableAction(const std::function<TEditResult()>& action) {
  Guarded([&] {
    const TEditResult result = action();
    if (result.outcome == TEditOutcome::Refused) dm_.Ui.Warning(result.reason);
  });
  // The time tables again, none ticked; the levels keep their ticks.
  Guarded([&] {
    if (Page() != TTablePage::Access) return;
    model_.timeTables.clear();
    for (auto& t : ReadTimeTables(dm_.ADOC)) model_.timeTables.push_back({std::move(t), false});
  });
  timeTables_->Reset();
  ui_->pcTimeTable->setCurrentIndex(kListSheet);
}

void TfTable::bbHAEClick() {
  EditorAction([this] { return AddEditHoliday(dm_.ADOC, Masked(ui_->meHDate), Text(ui_->meHDesc)); });
}

void TfTable::bbHDelClick() {
  EditorAction([this] { return DeleteHoliday(dm_.ADOC, Masked(ui_->meHDate)); });
}

void TfTable::BitBtn2Click() {
  std::vector<std::int64_t> timeTables;
  for (const auto& t : model_.timeTables)
    if (t.ticked) timeTables.push_back(t.row.code);
  EditorAction(
      [&] { return AddEditAccessLevel(dm_.ADOC, Text(ui_->meAcsCode), Text(ui_->meAcsDesc), timeTables); });
  ui_->pcAccess->setCurrentIndex(kListSheet);
}

void TfTable::BitBtn1Click() {
  EditorAction(
      [this] { return DeleteAccessLevel(dm_.ADOC, Text(ui_->meAcsCode), dm_.Settings.SelectedAddr()); });
  ui_->pcAccess->setCurrentIndex(kListSheet);
}

void TfTable::bbTTAEClick() {
  TTimeTableInput in;
  in.code = Text(ui_->meTTCode);
  in.desc = Text(ui_->meTTDesc);
  in.start = MaskDigits(Masked(ui_->meTTStart));
  in.end = MaskDigits(Masked(ui_->meTTEnd));
  in.days = DayMaskOf(BoxesOf({ui_->cbTTSun, ui_->cbTTMon, ui_->cbTTTue, ui_->cbTTWed, ui_->cbTTThu,
                               ui_->cbTTFri, ui_->cbTTSat, ui_->cbTTHol}));
  TimeTableAction([&] { return AddEditTimeTable(dm_.ADOC, in); });
}

void TfTable::bbTTDelClick() {
  TimeTableAction([this] { return DeleteTimeTable(dm_.ADOC, Text(ui_->meTTCode)); });
}

void TfTable::bbAAEClick() {
  TAlarmInput in;
  in.code = Text(ui_->meACode);
  in.time = MaskDigits(Masked(ui_->meATime));
  in.duration = ui_->seADur->value();
  in.relay = RelayCode(ui_->cbR1->isChecked(), ui_->cbR2->isChecked());
  in.days = DayMaskOf(BoxesOf(
      {ui_->cbSun, ui_->cbMon, ui_->cbTue, ui_->cbWed, ui_->cbThu, ui_->cbFri, ui_->cbSat, ui_->cbHol}));
  EditorAction([&] { return AddEditAlarm(dm_.ADOC, in); });
}

void TfTable::bbADelClick() {
  EditorAction([this] { return DeleteAlarm(dm_.ADOC, Text(ui_->meACode)); });
}

void TfTable::bbExpAEClick() {
  EditorAction(
      [this] { return AddEditExpiry(dm_.ADOC, Text(ui_->meCardNumber), TrimRight(Masked(ui_->meExpired))); });
}

void TfTable::bbExpDelClick() {
  EditorAction([this] { return DeleteExpiry(dm_.ADOC, Text(ui_->meCardNumber)); });
}

void TfTable::bbMAEClick() {
  // The message goes into the ticked rows only; SEND stores it.
  if (Page() != TTablePage::Message) return;
  const std::string refusal = ApplyMessage(model_.cards, Text(ui_->meMessage));
  if (!refusal.empty()) {
    dm_.Ui.Warning(refusal);
    return;
  }
  messages_->Refresh();
}

}  // namespace korvo
