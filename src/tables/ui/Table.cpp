#include "tables/ui/Table.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <algorithm>

#include "main/ui/QtText.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "store/TerminalList.h"
#include "tables/RowTexts.h"
#include "tables/TableText.h"
#include "tables/TableUpload.h"
#include "tables/Templates.h"
#include "tables/ui/SectionHeader.h"
#include "tables/ui/TableCardListModel.h"
#include "tables/ui/TickListModel.h"
#include "ui_Table.h"

namespace korvo {
namespace {

// `text` filled with blanks to `width` characters.
std::string Pad(const std::string& text, int width) {
  return text + Blanks(width - static_cast<int>(text.size()));
}

std::string Joined(const std::vector<std::string>& cards) {
  std::string out;
  for (const auto& c : cards) out += (out.empty() ? "" : ", ") + c;
  return out;
}

}  // namespace

TfTable::TfTable(TDM& dm, QWidget* parent) : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfTable>()) {
  ui_->setupUi(this);
  CreateViews();
  ConnectEditors();
  ConnectLists();
  // The ID <=> Card page is kept for the lists earlier uploads stored; the operator cannot reach it.
  ui_->pcTable->setTabVisible(static_cast<int>(TTablePage::IDCard), false);
  ui_->pcTable->setCurrentIndex(static_cast<int>(TTablePage::Holidays));
  connect(ui_->pcTable, &QTabWidget::currentChanged, this, [this] { pcTableChange(); });
  connect(ui_->cbTable, &QComboBox::activated, this, [this] { cbTableChange(); });
  connect(ui_->bbSend, &QPushButton::clicked, this, &TfTable::bbSendClick);
  connect(ui_->bbGet, &QPushButton::clicked, this, &TfTable::bbGetClick);
  connect(ui_->bbRemove, &QPushButton::clicked, this, &TfTable::bbRemoveClick);
  connect(ui_->bbClose, &QPushButton::clicked, this, &TfTable::bbCloseClick);
  pcTableChange();
}

TfTable::~TfTable() = default;

TCardSort& TfTable::ListSort() {
  static TCardSort sort;
  return sort;
}

void TfTable::CreateViews() {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // The check box in front of every row.
  const int lead = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 10;
  holidays_ = new TTickListModel<THoliday>(model_.holidays, HolidayRowText, this);
  levels_ = new TTickListModel<TAccessLevel>(model_.levels, AccessLevelRowText, this);
  timeTables_ = new TTickListModel<TTimeTable>(model_.timeTables, TimeTableRowText, this);
  alarms_ = new TTickListModel<TAlarm>(model_.alarms, AlarmRowText, this);
  messages_ = new TTickListModel<TCardRow>(model_.cards, MessageRowText, this);
  idCards_ = new TTickListModel<TCardRow>(model_.cards, IDCardRowText, this);
  expiries_ = new TTickListModel<TExpiry>(model_.expiries, ExpiryRowText, this);
  const std::pair<QListView*, QAbstractItemModel*> lists[] = {
      {ui_->clbHolidays, holidays_}, {ui_->clbAccess, levels_},    {ui_->clbTimeTable, timeTables_},
      {ui_->clbAlarm, alarms_},      {ui_->clbMessage, messages_}, {ui_->clbIDCard, idCards_},
      {ui_->clbExpired, expiries_}};
  for (const auto& [view, model] : lists) {
    view->setModel(model);
    view->setFont(fixed);
  }

  // The column titles above the fixed-column rows.
  const std::string timeTableHead =
      Pad(Pad(Pad(" Code  Description", 39) + "Start", 46) + "End", 53) + "Days";
  const std::string alarmHead =
      Pad(Pad(Pad(Pad("   Code", 11) + "Time", 22) + "Duration", 39) + "Relay", 53) + "Days";
  const std::pair<QLabel*, std::string> heads[] = {{ui_->lHolidaysHead, "   Date   Description"},
                                                   {ui_->lAccessHead, " Code  Description"},
                                                   {ui_->lTimeTableHead, timeTableHead},
                                                   {ui_->lAlarmHead, alarmHead}};
  for (const auto& [label, text] : heads) {
    label->setFont(fixed);
    label->setContentsMargins(lead, 0, 0, 0);
    label->setText(Q(text));
  }
  ui_->hcMessage->SetSections({"Card Number", "Name", "Message"}, {20, 31}, fixed, lead);
  ui_->hcIDCard->SetSections({"ID Number", "Card Number"}, {34}, fixed, lead);
  ui_->hcExpired->SetSections({"Card Number", "Expired Date"}, {32}, fixed, lead);

  listViews_ = {ui_->lvBlacklist, ui_->lvSpecial, ui_->lvBio, ui_->lvAdmin};
  for (QTreeView* view : listViews_) {
    auto* model = new TTableCardListModel(model_.cards, view == ui_->lvBio, this);
    cardLists_.push_back(model);
    view->setModel(model);
    view->header()->setSectionsClickable(true);
    view->header()->resizeSection(0, 180);
  }
}

void TfTable::SetCaption(const std::string& location) {
  ui_->pTable->setText(Q(location));
}

std::string TfTable::Caption() const {
  return ui_->pTable->text().toStdString();
}

TTablePage TfTable::Page() const {
  return static_cast<TTablePage>(std::clamp(ui_->pcTable->currentIndex(), 0, kTablePageCount - 1));
}

void TfTable::pcTableChange() {
  LoadPage(true);
}

void TfTable::ShowAsBox() {
  const bool listPage = PageInfo(Page()).listPage;
  ui_->lAs->setVisible(listPage);
  ui_->cbTable->setVisible(listPage);
  if (!listPage) return;
  QSignalBlocker quiet(ui_->cbTable);
  ui_->cbTable->clear();
  for (const auto& terminal : TerminalsByAddress(dm_.ADOC)) ui_->cbTable->addItem(Q(terminal.location));
  ui_->cbTable->setCurrentIndex(ui_->cbTable->findText(ui_->pTable->text(), Qt::MatchFixedString));
  listAddr_ = dm_.Settings.SelectedAddr();
}

TProgressFn TfTable::Progress() {
  return [this](const std::string& notice) { dm_.Ui.ProgressNotice(notice); };
}

void TfTable::LoadPage(bool pageChange) {
  JoinJob([this, pageChange] {
    const int load = ++loads_;
    if (pageChange) ShowAsBox();
    const TTablePage page = Page();
    const std::string address = PageInfo(page).listPage ? listAddr_ : dm_.Settings.SelectedAddr();
    TTablePageModel fresh = LoadTablePage(dm_.ADOC, page, address, Progress());
    // The operator moved on while the cardholders were read: a later load shows its page.
    if (load != loads_) return;
    if (sortedByText_[static_cast<std::size_t>(page)]) SortRowsByText(fresh);
    model_ = std::move(fresh);
    ShowRows();
  });
}

void TfTable::ShowRows() {
  holidays_->Reset();
  levels_->Reset();
  timeTables_->Reset();
  alarms_->Reset();
  messages_->Reset();
  idCards_->Reset();
  expiries_->Reset();
  for (TTableCardListModel* m : cardLists_) m->Reset();
  // The rows come in the order of the database until a header asks for another.
  for (QTreeView* view : listViews_) view->header()->setSortIndicatorShown(false);
}

void TfTable::RefreshRows() {
  holidays_->Refresh();
  levels_->Refresh();
  timeTables_->Refresh();
  alarms_->Refresh();
  messages_->Refresh();
  idCards_->Refresh();
  expiries_->Refresh();
  for (TTableCardListModel* m : cardLists_) m->Refresh();
}

void TfTable::cbTableChange() {
  if (!PageInfo(Page()).listPage) return;
  std::optional<std::string> address;
  Guarded([&] { address = AddressOfLocation(dm_.ADOC, ui_->cbTable->currentText().toStdString()); });
  if (!address) return;
  listAddr_ = *address;
  LoadPage(false);
}

std::vector<std::string> TfTable::TickedCards() const {
  std::vector<std::string> cards;
  for (const auto& c : model_.cards)
    if (c.ticked) cards.push_back(c.row.card);
  return cards;
}

void TfTable::ShowBioList(const std::string& address) {
  listAddr_ = address;
  if (Page() == TTablePage::Biometrics) LoadPage(false);
}

TBioPage TfTable::BioPage() {
  TBioPage page;
  page.caption = Caption();
  page.curLocation = dm_.Settings.CurLocation();
  page.Select = [this](const std::string& address) { dm_.Settings.SetSelectedAddr(address); };
  page.ShowList = [this](const std::string& address) { ShowBioList(address); };
  return page;
}

void TfTable::bbSendClick() {
  const TTablePage page = Page();
  RunJob("Sending " + std::string(PageInfo(page).caption), [this, page] {
    if (page == TTablePage::Biometrics) {
      const TTemplateSendReport r =
          SendTemplates(TemplateJobOf(dm_), dm_.Settings.SelectedAddr(), listAddr_, TickedCards(), BioPage());
      std::vector<std::string> refused;
      for (const auto& card : r.failed)
        if (std::find(r.garbled.begin(), r.garbled.end(), card) == r.garbled.end()) refused.push_back(card);
      std::string text;
      if (!refused.empty())
        text = "The terminal did not take the templates of " + std::to_string(refused.size()) +
               " card(s): " + Joined(refused) + ".";
      if (!r.garbled.empty())
        text += std::string(text.empty() ? "" : "\n") + "The template texts of " +
                std::to_string(r.garbled.size()) +
                " card(s) are damaged, nothing was sent for them: " + Joined(r.garbled) + ".";
      if (!text.empty()) dm_.Ui.Warning(text);
      return;
    }
    // The job works on a copy: the operator may move to another page while it talks to the terminal.
    TTablePageModel sending = model_;
    const int load = loads_;
    SendTablePage(TableJobOf(dm_), sending, {Caption(), dm_.Settings.CurLocation()});
    // SEND ticks the time tables of the ticked access levels; the list shows what was sent.
    if (load == loads_ && page == TTablePage::Access) {
      model_.timeTables = std::move(sending.timeTables);
      timeTables_->Reset();
    }
  });
}

void TfTable::bbGetClick() {
  RunJob("Getting fingerprint templates", [this] {
    const TTemplateGetReport r =
        GetTemplates(TemplateJobOf(dm_), dm_.Settings.SelectedAddr(), TickedCards(), BioPage());
    if (!r.missed.empty())
      dm_.Ui.Warning("The templates of " + std::to_string(r.missed.size()) +
                     " card(s) did not arrive whole; the database keeps what it had for them: " +
                     Joined(r.missed) + ".");
  });
}

void TfTable::bbRemoveClick() {
  RunJob("Removing fingerprint templates", [this] {
    RemoveTemplates(TemplateJobOf(dm_), dm_.Settings.SelectedAddr(), TickedCards(), BioPage());
  });
}

void TfTable::bbCloseClick() {
  close();
}

}  // namespace korvo
