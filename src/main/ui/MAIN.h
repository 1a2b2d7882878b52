#pragma once

#include <QMainWindow>

class QMdiArea;

namespace korvo {

class TProgram;
class TDM;

// The frame in which every tool window opens as a child window.
class TfMain : public QMainWindow {
  Q_OBJECT
 public:
  TfMain(TProgram& program, TDM& dm, QWidget* parent = nullptr);
  QMdiArea* MdiArea() const { return mdi_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TProgram& program_;
  TDM& dm_;
  QMdiArea* mdi_;
};

}  // namespace korvo
