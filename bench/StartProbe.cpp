// One start of the windowed program, ended as soon as its main window is on screen; or, with "empty",
// the same for a bare Qt main window. korvo_start_bench times whole processes of both.
//   korvo_start_probe main|empty FOLDER
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <QWindow>
#include <cstring>

#include "main/ui/MAIN.h"
#include "main/ui/QtOperatorUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace {

void WaitUntilExposed(QWidget& w) {
  w.show();
  while (!w.windowHandle() || !w.windowHandle()->isExposed())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QApplication::processEvents();
  _exit(0);  // the time to the first picture is measured, not the shut-down
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  QApplication app(argc, argv);
  if (std::strcmp(argv[1], "empty") == 0) {
    QMainWindow w;
    w.resize(1024, 700);
    WaitUntilExposed(w);
  }
  // The first start announces the new database in a box that nobody is there to close.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(100);
  korvo::TRealClock clock;
  korvo::TQtOperatorUi ui;
  korvo::TProgram program(korvo::NormaliseFolder(argv[2]), clock, ui);
  korvo::TDM& dm = program.Start();
  korvo::TfMain main(program, dm);
  ui.SetFrame(&main);
  main.SetSplashDuration(0);
  if (!main.FormCreate()) return 1;
  main.resize(1024, 700);
  WaitUntilExposed(main);
}
