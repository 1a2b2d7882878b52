#pragma once

#include <QDialog>
#include <memory>

class QLabel;

namespace Ui {
class TfSplashModem;
}

namespace korvo {

// The modem window shown while a call is dialled. It only shows what the dialler tells it; its
// Disconnect button asks for the hang-up with disconnectRequested(), once.
class TfSplashModem : public QDialog {
  Q_OBJECT
 public:
  TfSplashModem(const QString& number, const QString& rate, QWidget* parent = nullptr);
  ~TfSplashModem() override;

  void SetCountDown(const QString& text);
  // The text of a panel of the status bar `sbModem`.
  QString PanelText(int panel) const;

  void bbDisconnectClick();

 signals:
  void disconnectRequested();

 private:
  std::unique_ptr<Ui::TfSplashModem> ui_;
  QLabel* panel0_;
};

}  // namespace korvo
