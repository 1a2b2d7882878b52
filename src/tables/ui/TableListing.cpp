// The lists of the Tables window: check-all boxes, reverse buttons, sorting and searching.
#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "store/DataMod.h"
#include "tables/ListOrder.h"
#include "tables/ui/SectionHeader.h"
#include "tables/ui/Table.h"
#include "tables/ui/TableCardListModel.h"
#include "tables/ui/TickListModel.h"
#include "ui_Table.h"

namespace korvo {

void TfTable::ConnectLists() {
  const struct {
    QCheckBox* box;
    TTablePage page;
    bool timeTables;
  } checkAll[] = {{ui_->cbHolidays, TTablePage::Holidays, false}, {ui_->cbAcc, TTablePage::Access, false},
                  {ui_->cbTimetable, TTablePage::Access, true},   {ui_->cbAlarm, TTablePage::Alarm, false},
                  {ui_->cbBlack, TTablePage::Blacklist, false},   {ui_->cbMsg, TTablePage::Message, false},
                  {ui_->cbSpecial, TTablePage::Special, false},   {ui_->cbBio, TTablePage::Biometrics, false},
                  {ui_->cbAdmin, TTablePage::Admin, false},       {ui_->cbIDCard, TTablePage::IDCard, false},
                  {ui_->cbExpired, TTablePage::Expired, false}};
  for (const auto& c : checkAll)
    connect(c.box, &QCheckBox::clicked, this,
            [this, page = c.page, tt = c.timeTables](bool ticked) { CheckAll(page, tt, ticked); });

  const std::pair<QPushButton*, TTablePage> reverse[] = {
      {ui_->bBlacklistRotate, TTablePage::Blacklist}, {ui_->bMessageRotate, TTablePage::Message},
      {ui_->bSpecialRotate, TTablePage::Special},     {ui_->bBioRotate, TTablePage::Biometrics},
      {ui_->bAdminRotate, TTablePage::Admin},         {ui_->bExpiredRotate, TTablePage::Expired}};
  for (const auto& [button, page] : reverse)
    connect(button, &QPushButton::clicked, this, [this, page = page] { Reverse(page); });

  for (QTreeView* view : listViews_)
    connect(view->header(), &QHeaderView::sectionClicked, this, &TfTable::ListHeaderClick);
  const std::pair<TSectionHeader*, TTablePage> sections[] = {{ui_->hcMessage, TTablePage::Message},
                                                             {ui_->hcIDCard, TTablePage::IDCard},
                                                             {ui_->hcExpired, TTablePage::Expired}};
  for (const auto& [header, page] : sections)
    connect(header, &QHeaderView::sectionClicked, this,
            [this, page = page](int s) { SectionClick(page, s); });

  const struct {
    QLineEdit* box;
    QTreeView* view;
    TCardColumn column;
  } searches[] = {{ui_->edCardBlacklist, ui_->lvBlacklist, TCardColumn::Card},
                  {ui_->edNameBlacklist, ui_->lvBlacklist, TCardColumn::Name},
                  {ui_->edCardSpecial, ui_->lvSpecial, TCardColumn::Card},
                  {ui_->edNameSpecial, ui_->lvSpecial, TCardColumn::Name},
                  {ui_->edCardBio, ui_->lvBio, TCardColumn::Card},
                  {ui_->edNameBio, ui_->lvBio, TCardColumn::Name},
                  {ui_->edCardAdmin, ui_->lvAdmin, TCardColumn::Card},
                  {ui_->edNameAdmin, ui_->lvAdmin, TCardColumn::Name}};
  for (const auto& s : searches) {
    connect(s.box, &QLineEdit::textEdited, this,
            [this, box = s.box, view = s.view, column = s.column] { Search(box, view, column); });
    s.box->installEventFilter(this);
    searchBoxes_.push_back(s.box);
  }
}

void TfTable::CheckAll(TTablePage page, bool timeTables, bool ticked) {
  if (Page() != page) return;
  switch (page) {
    case TTablePage::Holidays:
      TickAll(model_.holidays, ticked);
      break;
    case TTablePage::Access:
      if (timeTables)
        TickAll(model_.timeTables, ticked);
      else
        TickAll(model_.levels, ticked);
      break;
    case TTablePage::Alarm:
      TickAll(model_.alarms, ticked);
      break;
    case TTablePage::Expired:
      TickAll(model_.expiries, ticked);
      break;
    default:
      TickAll(model_.cards, ticked);
      break;
  }
  RefreshRows();
}

void TfTable::Reverse(TTablePage page) {
  if (Page() != page) return;
  if (page == TTablePage::Expired)
    ReverseTicks(model_.expiries);
  else
    ReverseTicks(model_.cards);
  RefreshRows();
}

void TfTable::ListHeaderClick(int section) {
  TCardSort& sort = ListSort();
  sort.Click(section == 0 ? TCardColumn::Card : TCardColumn::Name);
  SortCardRows(model_.cards, sort);
  ShowRows();
  for (QTreeView* view : listViews_) {
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(sort.column == TCardColumn::Card ? 0 : 1,
                                     sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
}

void TfTable::SectionClick(TTablePage page, int section) {
  if (Page() != page || section > 1) return;
  auto& sorted = sortedByText_[static_cast<std::size_t>(page)];
  if (section == 0) {
    sorted = true;
    SortRowsByText(model_);
    ShowRows();
    return;
  }
  // The rows again in the order of the database, with what the operator did to them.
  sorted = false;
  JoinJob([this, page] {
    const int load = ++loads_;
    TTablePageModel fresh = LoadTablePage(dm_.ADOC, page, model_.address, Progress());
    if (load != loads_) return;
    KeepShownTicks(fresh, model_);
    model_ = std::move(fresh);
    ShowRows();
  });
}

void TfTable::Search(QLineEdit* box, QTreeView* view, TCardColumn column) {
  auto* model = static_cast<TTableCardListModel*>(view->model());
  const int row = model->Find(column, box->text());
  if (row < 0) return;
  const QModelIndex index = model->index(row, 0);
  view->selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(index);
}

bool TfTable::eventFilter(QObject* watched, QEvent* event) {
  // A search box is emptied when the cursor leaves it.
  if (event->type() == QEvent::FocusOut)
    for (QLineEdit* box : searchBoxes_)
      if (watched == box) box->clear();
  return TToolForm::eventFilter(watched, event);
}

}  // namespace korvo
