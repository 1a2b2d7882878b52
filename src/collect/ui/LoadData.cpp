#include "collect/ui/LoadData.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "collect/TransactionDownload.h"
#include "main/ui/Login.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"
#include "ui_LoadData.h"

namespace korvo {
namespace {
constexpr const char* kCaption = "Load Data";
}  // namespace

TfLoadData::TfLoadData(TDM& dm, TLoadDataFrame frame, QWidget* parent)
    : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfLoadData>()), frame_(std::move(frame)) {
  ui_->setupUi(this);
  connect(ui_->bbLoad, &QPushButton::clicked, this, &TfLoadData::bbLoadClick);
  connect(ui_->bbIgnore, &QPushButton::clicked, this, &TfLoadData::bbIgnoreClick);
  connect(ui_->bbClose, &QPushButton::clicked, this, &TfLoadData::bbCloseClick);
  timer_ = new QTimer(this);
  timer_->setObjectName("Timer");
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &TfLoadData::TimerTimer);
}

TfLoadData::~TfLoadData() = default;

void TfLoadData::ShowLocation(const std::string& location) {
  ui_->pLoadData->setText(QString::fromStdString(location));
}

void TfLoadData::StartCountDown() {
  SetButtons(false);
  timer_->start();
}

void TfLoadData::AddDataLine(const std::string& line) {
  QListWidget* list = ui_->lbData;
  list->addItem(QString::fromStdString(line));
  if (list->count() - 1 > kLastDataIndex) delete list->takeItem(0);
  // One scroll per turn of the event loop: scrolling lays out the whole list, once per record would
  // cost more than the download.
  if (!scrollPending_) {
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
      scrollPending_ = false;
      ui_->lbData->scrollToBottom();
    });
  }
}

void TfLoadData::AddStatusLine(const std::string& line) {
  ui_->lbStatus->addItem(QString::fromStdString(line));
  ui_->lbStatus->scrollToBottom();
}

void TfLoadData::SetButtons(bool enabled) {
  ui_->bbLoad->setEnabled(enabled);
  ui_->bbClose->setEnabled(enabled);
}

TDownloadSinks TfLoadData::Sinks() {
  TDownloadSinks sinks;
  sinks.Status = [this](const std::string& s) { AddStatusLine(s); };
  sinks.Log = [this](const std::string& s) { dm_.WriteLog(s, true); };
  sinks.DataLine = [this](const std::string& s) { AddDataLine(s); };
  // A meter without a range would show the busy animation instead of a position.
  sinks.MeterMaximum = [this](int maximum) { ui_->VM->setRange(0, std::max(maximum, 1)); };
  sinks.MeterPosition = [this](int position) { ui_->VM->setValue(position); };
  sinks.MainMeterFull = [this] { dm_.Ui.ProgressNotice(std::to_string(dm_.Ui.ProgressMaximum())); };
  return sinks;
}

void TfLoadData::Download(bool immediateRun) {
  const bool ran = RunJob(kCaption, [&] {
    SetButtons(false);
    abort_ = false;
    // "To All Korvo2K" as the window left it lives in memory until the setup window saves the file:
    // reading the file again must not undo it.
    const bool loadAll = dm_.SysParam.LoadAllTerminal;
    dm_.ReadUploadConfig();
    dm_.SysParam.LoadAllTerminal = loadAll;
    std::string error;
    try {
      const auto targets =
          DownloadTargets(dm_.ADOC, ui_->cbAll->isChecked() || immediateRun, dm_.Settings.CurAddr());
      TTransactionDownload job(
          dm_.Link, dm_.ADOC, dm_.SysParam, dm_.ProgramFolder(), dm_.Clock, Sinks(),
          [this] { return abort_ || StopRequested(); }, dm_.SysParam.SkipDuplicates);
      error = job.Run(targets).error;
    } catch (const std::exception& e) {
      error = e.what();
      dm_.WriteLog("Load Data : " + error, true);
    }
    SetButtons(true);
    abort_ = false;
    // The download has logged its error already.
    if (!error.empty() && !immediateRun) dm_.Ui.CaptionedError(kCaption, error);
  });
  if (ran && immediateRun && frame_.EndProgram) frame_.EndProgram();
}

void TfLoadData::bbLoadClick() {
  Download(false);
}

void TfLoadData::bbIgnoreClick() {
  abort_ = true;
  if (frame_.ImmediateLoadAborted) frame_.ImmediateLoadAborted();
}

void TfLoadData::bbCloseClick() {
  close();
}

void TfLoadData::FormActivate() {
  ui_->cbAll->setChecked(dm_.SysParam.LoadAllTerminal);
  countDown_ = kCountDownSeconds;
  abort_ = false;
}

void TfLoadData::TimerTimer() {
  if (abort_) {
    timer_->stop();
    // The immediate loading is over: the window serves the operator from now on.
    SetButtons(true);
    TfLogin login(dm_, frame_.EndProgram, window());
    login.exec();
    return;
  }
  if (countDown_ > 0) {
    dm_.Ui.Beep();
    if (--countDown_ > 0) return;
  }
  // Another job is on: the download waits for it, a tick at a time.
  if (!MayReadTerminal()) return;
  timer_->stop();
  if (frame_.LoadButtonDown && frame_.LoadButtonDown()) Download(true);
}

void TfLoadData::FormClose() {
  timer_->stop();
  // Memory only: "UPLOAD.CFG" gets it when the setup window saves the file.
  dm_.SysParam.LoadAllTerminal = ui_->cbAll->isChecked();
}

void TfLoadData::showEvent(QShowEvent* event) {
  TToolForm::showEvent(event);
  WatchActivation();
}

void TfLoadData::WatchActivation() {
  auto* child = qobject_cast<QMdiSubWindow*>(parentWidget());
  QMdiArea* area = child ? child->mdiArea() : nullptr;
  if (watching_ || !area) return;
  watching_ = true;
  connect(area, &QMdiArea::subWindowActivated, this, &TfLoadData::SubWindowActivated);
  if (area->activeSubWindow() == child) SubWindowActivated(child);
}

void TfLoadData::SubWindowActivated(QMdiSubWindow* window) {
  // No active child: the main window itself lost the focus (a message box, another program).
  if (!window) return;
  const bool becameActive = window == parentWidget() && lastActive_ != window;
  lastActive_ = window;
  if (becameActive) FormActivate();
}

}  // namespace korvo
