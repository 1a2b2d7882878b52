#include "config/ui/DateTime.h"

#include <QEvent>
#include <QTimer>

#include "config/TerminalClock.h"
#include "main/ui/EnterKey.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "ui_DateTime.h"

namespace korvo {
namespace {
// Three blanks, then yyyy-mm-dd, hh:mm:ss; every digit required, the separators are no part of the
// value.
constexpr const char* kMesinMask = "   9999-99-99, 99:99:99;";
constexpr const char* kJobCaption = "Set DateTime";
}  // namespace

TfDateTime::TfDateTime(TDM& dm, QWidget* parent)
    : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfDateTime>()) {
  ui_->setupUi(this);
  SetMask('_');
  ui_->meMesin->installEventFilter(this);
  // Typing over the placeholder makes the field an ordinary entry again.
  connect(ui_->meMesin, &QLineEdit::textEdited, this, [this] {
    if (!placeholder_) return;
    placeholder_ = false;
    const int cursor = ui_->meMesin->cursorPosition();
    const QString typed = QString::fromStdString(MesinValue());
    SetMask('_');
    ui_->meMesin->setText(typed);
    ui_->meMesin->setCursorPosition(cursor);
  });
  connect(ui_->bbSystem, &QPushButton::clicked, this, &TfDateTime::bbSystemClick);
  connect(ui_->bbMesin, &QPushButton::clicked, this, &TfDateTime::bbMesinClick);
  connect(ui_->bbClose, &QPushButton::clicked, this, &TfDateTime::bbCloseClick);

  ui_->bbSystem->setText(QString::fromStdString(ClockText(dm_.Clock.Now())));
  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, &TfDateTime::Timer1Timer);
  timer1_->start();
}

TfDateTime::~TfDateTime() = default;

void TfDateTime::SetMask(char blank) {
  const QString mask = QString(kMesinMask) + QChar(blank);
  if (ui_->meMesin->inputMask() != mask) ui_->meMesin->setInputMask(mask);
}

void TfDateTime::ShowLocation(const std::string& location) {
  ui_->pLoc->setText(QString::fromStdString(location));
}

void TfDateTime::ShowTerminalTime(const std::string& clock) {
  if (clock == kClockPlaceholder) {
    // Every digit blank, the blanks shown as "?".
    placeholder_ = true;
    SetMask('?');
    ui_->meMesin->clear();
    return;
  }
  placeholder_ = false;
  SetMask('_');
  ui_->meMesin->setText(QString::fromStdString(clock));
}

std::string TfDateTime::MesinValue() const {
  if (placeholder_) return kClockPlaceholder;
  std::string value;
  for (QChar c : ui_->meMesin->text())
    if (c.isDigit()) value += static_cast<char>(c.unicode());
  return value;
}

void TfDateTime::ReadCurrentTerminal() {
  ShowTerminalTime(ReadTerminalTime(dm_.Link, dm_.Settings.CurAddr()));
}

void TfDateTime::ShowCurrentTerminal() {
  ShowLocation(dm_.Settings.CurLocation());
  dm_.Ui.ProcessMessages();
  RunJob(kJobCaption, [this] { ReadCurrentTerminal(); });
}

void TfDateTime::FollowCurrentTerminal() {
  JoinJob([this] {
    ShowLocation(dm_.Settings.CurLocation());
    ReadCurrentTerminal();
  });
}

void TfDateTime::SetTimeOnTerminals(const std::string& timeText) {
  RunJob(kJobCaption, [this, timeText] {
    const TSettingsRecord& s = dm_.Settings;
    const TClockSetReport report =
        korvo::SetTimeOnTerminals(ClockJobOf(dm_), {s.CurAddr(), s.CurLocation()}, ui_->cbAll->isChecked(),
                                  timeText, [this](const std::string& location) { ShowLocation(location); });
    if (!report.lastClock.empty()) ShowTerminalTime(report.lastClock);
  });
}

void TfDateTime::Timer1Timer() {
  const std::string now = ClockText(dm_.Clock.Now());
  ui_->bbSystem->setText(QString::fromStdString(now));
  const std::string seconds = now.substr(now.size() - 2);
  if (seconds != "00" && seconds != "30") return;
  // A clock that could not be read is not asked again every half minute; a set, a terminal switch
  // or reopening the window reads it again.
  const std::string value = MesinValue();
  if (value == kClockPlaceholder || value.empty() || !MayReadTerminal()) return;
  RunJob(kJobCaption, [this] { ReadCurrentTerminal(); });
}

void TfDateTime::bbSystemClick() {
  SetTimeOnTerminals(ui_->bbSystem->text().toStdString());
}

void TfDateTime::bbMesinClick() {
  SetTimeOnTerminals(MesinValue());
}

void TfDateTime::meMesinKeyPress() {
  SetTimeOnTerminals(MesinValue());
}

void TfDateTime::bbCloseClick() {
  close();
}

void TfDateTime::FormClose() {
  timer1_->stop();
}

bool TfDateTime::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->meMesin && IsEnterKeyPress(event)) {
    meMesinKeyPress();
    return true;
  }
  return TToolForm::eventFilter(watched, event);
}

}  // namespace korvo
