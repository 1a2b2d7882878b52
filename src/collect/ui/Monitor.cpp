#include "collect/ui/Monitor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

#include "collect/OnlineActivities.h"
#include "collect/OnlineReceiver.h"
#include "main/ui/QtText.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "ui_Monitor.h"

namespace korvo {

TfMonitor::TfMonitor(TDM& dm, QWidget* parent)
    : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfMonitor>()) {
  ui_->setupUi(this);
  setObjectName("fMonitor");
  auto* caption = new QLabel("LOCATION  ", this);
  caption->setObjectName("lLocationPanel");
  cbTerminal_ = new QComboBox(this);
  cbTerminal_->setObjectName("cbTerminal");
  cbTerminal_->setMinimumWidth(160);
  lStatus_ = new QLabel(this);
  lStatus_->setObjectName("lStatus");
  ui_->StatusBar1->addWidget(caption);
  ui_->StatusBar1->addWidget(cbTerminal_);
  ui_->StatusBar1->addWidget(lStatus_, 1);
  ui_->ListView1->header()->setSectionsClickable(true);
  ui_->ListView1->installEventFilter(this);
  connect(ui_->ListView1, &QTreeWidget::itemClicked, this, [this] { ListView1Click(); });
  connect(ui_->ListView1->header(), &QHeaderView::sectionClicked, this, &TfMonitor::ListView1ColumnClick);
  connect(cbTerminal_, &QComboBox::activated, this, &TfMonitor::cbTerminalChange);
  lookups_ = std::make_unique<TMonitorLookups>(dm_.ADOC);
}

TfMonitor::~TfMonitor() {
  // Stores what is still on its way, should the window go without its close.
  receiver_.reset();
}

void TfMonitor::FormCreate() {
  // The card digits are read before anything can arrive, once; a job running meanwhile leaves 1.
  RunJob("Online", [this] { cardDigits_ = OnlineCardDigits(dm_.Link, dm_.Settings.SelectedAddr()); });
  // Closed while the terminal was asked: nothing may listen for a window that is gone.
  if (formClosed_) return;
  TOnlineListenerOptions options;
  options.bindAddress = BindAddress;
  const auto port = OnlinePortNumber(dm_.Settings.OnlinePort());
  options.port = port.value_or(0);
  TOnlineReceiver::TSinks sinks;
  sinks.display = [this](const TOnlineLine& line, const std::string& mapped) {
    Display(line.cardNo, line.TimeText(), mapped, line.termNo, line.eventFlag, line.dirFlag);
  };
  sinks.log = [this](const std::string& message) { dm_.WriteLog(message, true); };
  // Called on a receiving thread: the batch is processed on this window's thread, in its event loop.
  sinks.notify = [this] {
    QMetaObject::invokeMethod(this, &TfMonitor::ProcessBatches, Qt::QueuedConnection);
  };
  receiver_ = std::make_unique<TOnlineReceiver>(dm_.ADOC, options, cardDigits_, std::move(sinks));
  if (!port) {
    const std::string text = "Online port \"" + dm_.Settings.OnlinePort() + "\" is no port number.";
    dm_.WriteLog(text, true);
    lStatus_->setText(Q(text));
  } else if (!receiver_->Start()) {
    lStatus_->setText(Q(receiver_->Error()));
  }
}

int TfMonitor::ListeningPort() const {
  return receiver_ && receiver_->Listening() ? receiver_->Port() : 0;
}

void TfMonitor::FormShow() {
  cbTerminal_->clear();
  cbTerminal_->addItem("ALL TERMINALS");
  Guarded([this] {
    for (const auto& location : TerminalLocations(dm_.ADOC)) cbTerminal_->addItem(Q(location));
  });
  cbTerminal_->setCurrentIndex(0);
  cbTerminalChange(0);
}

void TfMonitor::cbTerminalChange(int index) {
  Guarded([this, index] {
    // The first entry means every terminal, whatever a terminal's location reads.
    std::optional<std::string> termNo;
    if (index > 0)
      termNo = TerminalOfLocation(dm_.ADOC, cbTerminal_->itemText(index).toUpper().toStdString());
    ShowStoredActivities(termNo ? &*termNo : nullptr);
  });
}

void TfMonitor::ShowStoredActivities(const std::string* termNo) {
  ui_->ListView1->clear();
  const auto rows =
      LatestActivities(dm_.ADOC, termNo ? std::optional<std::string>(*termNo) : std::nullopt, kMaxRows);
  for (const auto& a : rows) {
    Display(a.cardNo, a.time, a.functionCode, a.termNo, a.eventFlag, a.dirFlag);
    dm_.Ui.ProcessMessages();
  }
}

void TfMonitor::Display(const std::string& cardNo, const std::string& time, const std::string& functionCode,
                        const std::string& termNo, const std::string& eventFlag, const std::string& dirFlag) {
  dm_.Ui.ProcessMessages();
  const TMonitorRow row = lookups_->Row(cardNo, time, functionCode, termNo, eventFlag, dirFlag);
  ShowPhoto(cardNo);
  ShowFields(row);
  QTreeWidget* list = ui_->ListView1;
  while (list->topLevelItemCount() >= kMaxRows) delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
  auto* item =
      new QTreeWidgetItem(QStringList{Q(row.cardNo), Q(row.idNo), Q(row.time), Q(row.name), Q(row.dir),
                                      Q(row.event), Q(row.location), Q(row.functionCode)});
  list->insertTopLevelItem(0, item);
}

void TfMonitor::ShowFields(const TMonitorRow& row) {
  ui_->ECardNo->setText(Q(row.cardNo));
  ui_->EName->setText(Q(row.name));
  ui_->EIdNo->setText(Q(row.idNo));
  ui_->ETime->setText(Q(row.time));
  ui_->EDir->setText(Q(row.dir));
  ui_->EEvent->setText(Q(row.event));
  ui_->ELocation->setText(Q(row.location));
  ui_->EFKey->setText(Q(row.functionCode));
}

void TfMonitor::ShowPhoto(const std::string& cardNo) {
  QPixmap photo;
  TPreparedStatement st(dm_.ADOC, "SELECT fbPhoto FROM tEmployees WHERE fsCardNo=? LIMIT 1");
  if (const auto row = st.FirstRow({cardNo}); row && !(*row)[0].empty()) {
    const std::string& bytes = (*row)[0];
    photo.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size()));
  }
  ui_->dbPhoto->setPixmap(
      photo.isNull() ? QPixmap()
                     : photo.scaled(ui_->dbPhoto->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfMonitor::ListView1Click() {
  QTreeWidgetItem* item = ui_->ListView1->currentItem();
  if (!item) return;
  auto t = [item](int column) { return item->text(column).toStdString(); };
  ShowFields({t(0), t(1), t(2), t(3), t(4), t(5), t(6), t(7)});
  Guarded([&] { ShowPhoto(t(0)); });
}

bool TfMonitor::eventFilter(QObject* watched, QEvent* event) {
  // Every key press and release selects: after the list has moved its current row.
  if (watched == ui_->ListView1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
    QTimer::singleShot(0, this, &TfMonitor::ListView1Click);
  return TToolForm::eventFilter(watched, event);
}

void TfMonitor::ListView1ColumnClick(int column) {
  if (column == sortColumn_)
    descending_ = !descending_;
  else
    sortColumn_ = column;
  QTreeWidget* list = ui_->ListView1;
  std::vector<QTreeWidgetItem*> items;
  while (list->topLevelItemCount() > 0) items.push_back(list->takeTopLevelItem(0));
  std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    const int order = a->text(column).compare(b->text(column), Qt::CaseInsensitive);
    return descending_ ? order > 0 : order < 0;
  });
  for (auto* item : items) list->addTopLevelItem(item);
}

void TfMonitor::ProcessBatches() {
  if (!receiver_ || processing_) return;
  // A job storing rows in its own transaction lets window messages through; the batch waits until
  // that transaction has ended, so it never goes with the job's commit or rollback.
  if (dm_.ADOC.InTransaction()) {
    QTimer::singleShot(50, this, &TfMonitor::ProcessBatches);
    return;
  }
  processing_ = true;
  Guarded([this] { receiver_->ProcessPending(); });
  processing_ = false;
  // A close asked for while the batches were shown is carried out now that they are stored.
  if (closeAsked_) close();
}

void TfMonitor::closeEvent(QCloseEvent* event) {
  if (processing_) {
    closeAsked_ = true;
    event->ignore();
    return;
  }
  TToolForm::closeEvent(event);
}

void TfMonitor::FormClose() {
  formClosed_ = true;
  // Stops listening and ends the connections; what they received is stored, no longer shown.
  if (receiver_) Guarded([this] { receiver_->Stop(); });
  receiver_.reset();
}

}  // namespace korvo
