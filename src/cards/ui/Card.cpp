#include "cards/ui/Card.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "cards/AccessGroupUpload.h"
#include "cards/ui/ActivityBrowser.h"
#include "cards/ui/CardListModel.h"
#include "main/ui/QtText.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"

namespace korvo {

TfCard::TfCard(TDM& dm, QWidget* parent) : TToolForm(dm, parent) {
  setObjectName("fCard");
  setWindowTitle("Cardholders and Activities");
  auto* top = new QVBoxLayout(this);
  pCard_ = Named(new QLabel(this), "pCard");
  top->addWidget(pCard_);
  pcCard_ = Named(new QTabWidget(this), "pcCard");
  top->addWidget(pcCard_);
  tsCard_ = Named(new QWidget, "tsCard");
  tsActivity_ = Named(new QWidget, "tsActivity");
  pcCard_->addTab(tsCard_, "Cardholders");
  pcCard_->addTab(tsActivity_, "Activities");

  auto* page = new QHBoxLayout(tsCard_);
  auto* left = new QVBoxLayout;
  cbCard_ = Named(new QCheckBox("All", tsCard_), "cbCard");
  left->addWidget(cbCard_);
  clbCard_ = Named(new QTableView(tsCard_), "clbCard");
  model_ = new TCardListModel(page_, this);
  clbCard_->setModel(model_);
  clbCard_->setSelectionBehavior(QAbstractItemView::SelectRows);
  clbCard_->setSelectionMode(QAbstractItemView::SingleSelection);
  clbCard_->horizontalHeader()->setObjectName("HeaderControl1");
  clbCard_->horizontalHeader()->setSectionsClickable(true);
  clbCard_->verticalHeader()->hide();
  left->addWidget(clbCard_);
  page->addLayout(left, 3);

  auto* group = new QFormLayout;
  eCard_ = Named(new QLineEdit(tsCard_), "eCard");
  eCard_->setMaxLength(15);
  eID_ = Named(new QLineEdit(tsCard_), "eID");
  eID_->setMaxLength(30);
  eName_ = Named(new QLineEdit(tsCard_), "eName");
  eName_->setMaxLength(100);
  cbAcs_ = Named(new QComboBox(tsCard_), "cbAcs");
  cbPIN_ = Named(new QComboBox(tsCard_), "cbPIN");
  mePIN_ = Named(new QLineEdit(tsCard_), "mePIN");
  mePIN_->setInputMask("999999");
  clbRelay_ = Named(new QListWidget(tsCard_), "clbRelay");
  for (const char* relay : {"1", "2"}) {
    auto* item = new QListWidgetItem(relay, clbRelay_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  clbRelay_->setMaximumHeight(48);
  cbHolder_ = Named(new QComboBox(tsCard_), "cbHolder");
  dbPhoto_ = Named(new QLabel(tsCard_), "dbPhoto");
  dbPhoto_->setMinimumSize(120, 150);
  dbPhoto_->setFrameShape(QFrame::Box);
  dbPhoto_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto addAction = [this](const char* name, const char* text, void (TfCard::*slot)()) {
    auto* a = Named(new QAction(text, dbPhoto_), name);
    dbPhoto_->addAction(a);
    connect(a, &QAction::triggered, this, [this, slot] { Guarded([this, slot] { (this->*slot)(); }); });
  };
  addAction("CopyToClipboard1", "CopyToClipboard", &TfCard::CopyToClipboard1Click);
  addAction("CutToClipboard1", "CutToClipboard", &TfCard::CutToClipboard1Click);
  addAction("PasteFromClipboard1", "PasteFromClipboard", &TfCard::PasteFromClipboard1Click);
  group->addRow("Card No", eCard_);
  group->addRow("ID Number", eID_);
  group->addRow("Name", eName_);
  group->addRow("Access Time", cbAcs_);
  group->addRow("PIN", mePIN_);
  group->addRow("PIN Time", cbPIN_);
  group->addRow("Relay", clbRelay_);
  group->addRow("Same as term. :", cbHolder_);
  group->addRow(dbPhoto_);
  auto* buttons = new QGridLayout;
  bbAdd_ = Named(new QPushButton("Add / Edit", tsCard_), "bbAdd");
  bbDelete_ = Named(new QPushButton("Delete", tsCard_), "bbDelete");
  bbSend_ = Named(new QPushButton("Send", tsCard_), "bbSend");
  bbClose_ = Named(new QPushButton("Close", tsCard_), "bbClose");
  buttons->addWidget(bbAdd_, 0, 0);
  buttons->addWidget(bbDelete_, 0, 1);
  buttons->addWidget(bbSend_, 1, 0);
  buttons->addWidget(bbClose_, 1, 1);
  group->addRow(buttons);
  page->addLayout(group, 2);

  for (QLineEdit* e : {eCard_, eID_, eName_}) e->installEventFilter(this);
  connect(clbCard_, &QTableView::clicked, this,
          [this](const QModelIndex& i) { Guarded([this, i] { clbCardClick(i.row()); }); });
  connect(clbCard_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (section < 1 || section > 6) return;
    Guarded([this, section] {
      SortCardList(dm_.ADOC, dm_.Ui, page_, static_cast<TCardOrder>(section));
      model_->Reload();
    });
  });
  connect(cbCard_, &QCheckBox::toggled, this, [this](bool on) { model_->TickAll(on); });
  connect(cbAcs_, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { cbAcs_->setToolTip(Q(LevelHint(page_, S(t)))); });
  connect(cbPIN_, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { cbPIN_->setToolTip(Q(LevelHint(page_, S(t)))); });
  connect(cbHolder_, &QComboBox::activated, this,
          [this](int i) { Guarded([this, i] { cbHolderChange(i); }); });
  connect(bbAdd_, &QPushButton::clicked, this, [this] { Guarded([this] { bbAddClick(); }); });
  connect(bbDelete_, &QPushButton::clicked, this, [this] { Guarded([this] { bbDeleteClick(); }); });
  connect(bbSend_, &QPushButton::clicked, this, [this] { bbSendClick(); });
  connect(bbClose_, &QPushButton::clicked, this, &QWidget::close);
  activities_ = new TActivityBrowser(dm, *this, tsActivity_,
                                     [this](const std::function<void()>& action) { Guarded(action); });
  connect(pcCard_, &QTabWidget::currentChanged, this, [this](int i) {
    if (i == 0) Guarded([this] { pcCardChange(); });
    if (i == 1) Guarded([this] { activities_->pcCardChange(); });
  });
}

TfCard::~TfCard() = default;

void TfCard::SetHeading(const QString& location) {
  pCard_->setText(location);
}

QString TfCard::Heading() const {
  return pCard_->text();
}

bool TfCard::CardholdersShown() const {
  return pcCard_->currentWidget() == tsCard_;
}

void TfCard::ShowCardholders() {
  if (CardholdersShown())
    pcCardChange();
  else
    pcCard_->setCurrentWidget(tsCard_);
}

void TfCard::pcCardChange() {
  {
    const QSignalBlocker block(cbHolder_);
    cbHolder_->clear();
    TQuery q(dm_.ADOC);
    q.SetSQL("SELECT fsAddr,fsLocation FROM tTerminals ORDER BY fsAddr");
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) cbHolder_->addItem(Q(q.FieldByName("fsLocation").AsString()));
    cbHolder_->setCurrentIndex(cbHolder_->findText(pCard_->text(), Qt::MatchExactly));
  }
  page_ = OpenCardPage(dm_.ADOC, dm_.Ui, dm_.Settings.SelectedAddr());
  model_->Reload();
  FillLevels();
}

void TfCard::Rebuild(bool keepTicks) {
  RebuildCardList(dm_.ADOC, dm_.Ui, page_, keepTicks);
  model_->Reload();
  FillLevels();
}

void TfCard::FillLevels() {
  for (QComboBox* box : {cbAcs_, cbPIN_}) {
    box->clear();
    for (const auto& item : LevelItems(page_)) box->addItem(Q(item));
    box->setCurrentIndex(0);
  }
}

void TfCard::clbCardClick(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= page_.rows.size()) return;
  ReadWorkingTerminal(dm_.ADOC, page_);
  FillLevels();
  const TCardListRow& r = page_.rows[static_cast<std::size_t>(row)];
  clbCard_->selectRow(row);
  eCard_->setText(Q(r.card));
  eID_->setText(Q(r.idNo));
  eName_->setText(Q(r.name));
  cbAcs_->setCurrentIndex(cbAcs_->findText(Q(r.access), Qt::MatchExactly));
  cbPIN_->setCurrentIndex(cbPIN_->findText(Q(r.pinTime), Qt::MatchExactly));
  mePIN_->setText(Q(r.pin));
  const int relay = r.relay.empty() ? 0 : r.relay[0] - '0';
  clbRelay_->item(0)->setCheckState(relay & 1 ? Qt::Checked : Qt::Unchecked);
  clbRelay_->item(1)->setCheckState(relay & 2 ? Qt::Checked : Qt::Unchecked);
  cbAcs_->setToolTip(Q(LevelHint(page_, S(cbAcs_->currentText()))));
  cbPIN_->setToolTip(Q(LevelHint(page_, S(cbPIN_->currentText()))));
  ShowPhoto(r.card);
}

bool TfCard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == eCard_) Search(TCardSearch::CardNo, eCard_);
      if (watched == eID_) Search(TCardSearch::IDNo, eID_);
      if (watched == eName_) Search(TCardSearch::Name, eName_);
      if (watched == eCard_ || watched == eID_ || watched == eName_) return true;
    }
  }
  return TToolForm::eventFilter(watched, event);
}

void TfCard::Search(TCardSearch field, QLineEdit* edit) {
  const auto row = FindCardRow(page_, field, S(edit->text()));
  if (!row) {
    dm_.Ui.Warning(NotFoundText(field));
    return;
  }
  Guarded([this, row] { clbCardClick(static_cast<int>(*row)); });
}

void TfCard::cbHolderChange(int index) {
  if (index < 0) return;
  SameAsTerminal(dm_.ADOC, dm_.Ui, page_, S(cbHolder_->itemText(index)), dm_.Settings.SelectedAddr());
  model_->Reload();
  FillLevels();
}

void TfCard::bbAddClick() {
  TCardEdit edit{S(eCard_->text()),
                 S(eID_->text()),
                 S(eName_->text()),
                 S(cbAcs_->currentText()),
                 S(cbPIN_->currentText()),
                 S(mePIN_->text()),
                 clbRelay_->item(0)->checkState() == Qt::Checked,
                 clbRelay_->item(1)->checkState() == Qt::Checked};
  if (edit.name.empty() && !edit.card.empty()) eName_->setText("-");
  AddEditCard(dm_.ADOC, dm_.Ui, page_, edit);
  model_->Reload();
  FillLevels();
}

void TfCard::bbDeleteClick() {
  DeleteCard(dm_.ADOC, dm_.Ui, page_, S(eCard_->text()));
  model_->Reload();
  FillLevels();
}

void TfCard::bbSendClick() {
  RunJob("Sending the access group to " + S(pCard_->text()), [this] {
    SendAccessGroup(TableJobOf(dm_), page_, {S(pCard_->text()), dm_.Settings.CurLocation()});
  });
}

void TfCard::ShowPhoto(const std::string& card) {
  const std::string bytes = CardPhoto(dm_.ADOC, card);
  photo_ = QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  dbPhoto_->setPixmap(
      photo_.isNull() ? QPixmap() : QPixmap::fromImage(photo_).scaled(dbPhoto_->size(), Qt::KeepAspectRatio));
}

void TfCard::CopyToClipboard1Click() {
  if (!photo_.isNull()) QApplication::clipboard()->setImage(photo_);
}

void TfCard::CutToClipboard1Click() {
  if (photo_.isNull()) return;
  CopyToClipboard1Click();
  const std::string card = S(eCard_->text().trimmed());
  StoreCardPhoto(dm_.ADOC, card, "");
  ShowPhoto(card);
}

void TfCard::PasteFromClipboard1Click() {
  const QImage image = QApplication::clipboard()->image();
  QByteArray png;
  if (!image.isNull()) {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
  }
  // Any picture the clipboard holds is kept as PNG.
  if (png.isEmpty() || !StoreCardPhoto(dm_.ADOC, S(eCard_->text()), png.toStdString())) {
    dm_.Ui.Warning(kDataNotFound);
    return;
  }
  ShowPhoto(S(eCard_->text().trimmed()));
}

void TfCard::FormClose() {
  page_ = {};
}

}  // namespace korvo
