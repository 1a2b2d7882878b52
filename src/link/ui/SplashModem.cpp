#include "link/ui/SplashModem.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "ui_SplashModem.h"

namespace korvo {

TfSplashModem::TfSplashModem(const QString& number, const QString& rate, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfSplashModem>()) {
  ui_->setupUi(this);
  // A dialog border with a caption and no border icons: the call is ended with the button only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  panel0_ = new QLabel(ui_->sbModem);
  panel0_->setObjectName("sbModemPanel0");
  ui_->sbModem->addWidget(panel0_, 1);
  ui_->lProses->setText("Dialing to " + number);
  panel0_->setText("Connection Speed : " + rate + " bps");
  connect(ui_->bbDisconnect, &QPushButton::clicked, this, &TfSplashModem::bbDisconnectClick);
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

TfSplashModem::~TfSplashModem() = default;

void TfSplashModem::SetCountDown(const QString& text) {
  ui_->lCountDown->setText(text);
}

QString TfSplashModem::PanelText(int panel) const {
  return panel == 0 ? panel0_->text() : QString();
}

void TfSplashModem::bbDisconnectClick() {
  // The hang-up lets window messages through; a second press must not hang up twice.
  ui_->bbDisconnect->setEnabled(false);
  emit disconnectRequested();
}

}  // namespace korvo
