#include <QApplication>

#include "main/ui/MAIN.h"
#include "main/ui/QtOperatorUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("KORVO2K/Bio Utility");
  korvo::TRealClock clock;
  korvo::TQtOperatorUi ui;
  korvo::TProgram program(korvo::ExecutableFolder(), clock, ui);
  korvo::TDM& dm = program.Start();
  korvo::TfMain main(program, dm);
  ui.SetParent(&main);
  main.show();
  int rc = QApplication::exec();
  program.ShutDown();
  return rc;
}
