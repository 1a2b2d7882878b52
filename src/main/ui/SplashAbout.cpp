#include "main/ui/SplashAbout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "store/DataMod.h"
#include "tools/ui/SysInfoStatus.h"
#include "ui_SplashAbout.h"

namespace korvo {

TfSplash::TfSplash(TDM& dm, TMode mode, QWidget* parent)
    : QWidget(parent), mode_(mode), ui_(std::make_unique<Ui::TfSplash>()) {
  ui_->setupUi(this);
  ui_->lblVersi->setText(QString::fromStdString(dm.VersionText));
  ui_->aniLogo->SetKind(TAnimation::TKind::Ring);
  ui_->aniLogo->Start();
  for (QLabel* link : {ui_->lHome, ui_->lEmail}) {
    link->setForegroundRole(QPalette::WindowText);
    link->installEventFilter(this);
  }
  connect(ui_->bbClose, &QPushButton::clicked, this, &TfSplash::bbCloseClick);
  connect(ui_->bbSysInfo, &QPushButton::clicked, this, [this, &dm] { ShowSysInfo(dm, this); });
  if (mode_ == TMode::Splash) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QString());
    ui_->bbClose->hide();
    ui_->bbSysInfo->hide();
    ui_->Anime->hide();
    ui_->Bevel2->hide();
    setFixedHeight(233);
  } else {
    setAttribute(Qt::WA_DeleteOnClose);
  }
}

TfSplash::~TfSplash() = default;

void TfSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormActivate();
}

void TfSplash::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfSplash::FormActivate() {
  if (mode_ == TMode::About) ui_->Anime->Start();
}

void TfSplash::bbCloseClick() {
  ui_->Anime->Stop();
  close();
}

void TfSplash::lHomeClick() {
  QDesktopServices::openUrl(QUrl(kMakerHomePage));
}

void TfSplash::lEmailClick() {
  QDesktopServices::openUrl(QUrl(kMakerMail));
}

bool TfSplash::eventFilter(QObject* watched, QEvent* event) {
  auto* link = qobject_cast<QLabel*>(watched);
  if (link && (link == ui_->lHome || link == ui_->lEmail)) {
    switch (event->type()) {
      case QEvent::Enter: {
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(p);
        break;
      }
      case QEvent::Leave:
        link->setPalette(palette());
        break;
      case QEvent::MouseButtonRelease:
        if (link == ui_->lHome)
          lHomeClick();
        else
          lEmailClick();
        return true;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ShowSplash(TDM& dm, int ms) {
  TfSplash splash(dm, TfSplash::TMode::Splash);
  splash.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    splash.move(screen->availableGeometry().center() - splash.rect().center());
  splash.show();
  QApplication::processEvents();
  QEventLoop wait;
  QTimer::singleShot(ms, &wait, &QEventLoop::quit);
  wait.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace korvo
