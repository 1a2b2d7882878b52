#include "main/ui/MAIN.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "store/Program.h"

namespace korvo {

TfMain::TfMain(TProgram& program, TDM& dm, QWidget* parent)
    : QMainWindow(parent), program_(program), dm_(dm), mdi_(new QMdiArea(this)) {
  setObjectName("fMain");
  setWindowTitle("KORVO2K/Bio Utility");
  setCentralWidget(mdi_);
  resize(900, 600);
}

void TfMain::closeEvent(QCloseEvent* event) {
  program_.ShutDown();
  event->accept();
}

}  // namespace korvo
