#include <QApplication>
#include <QStyle>

#include "main/ui/MAIN.h"
#include "main/ui/QtOperatorUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("KORVO2K/Bio Utility");
  QApplication::setWindowIcon(app.style()->standardIcon(QStyle::SP_ComputerIcon));
  korvo::TRealClock clock;
  korvo::TQtOperatorUi ui;
  // The settings first, then the data module; a database that cannot be opened is reported in an
  // error box here, before the main window exists, and the start goes on.
  korvo::TProgram program(korvo::ExecutableFolder(), clock, ui);
  korvo::TDM& dm = program.Start();

  korvo::TfMain main(program, dm);
  ui.SetParent(&main);
  ui.SetProgressSink(
      [](void* window, const std::string& text) {
        static_cast<korvo::TfMain*>(window)->ProgressNotice(text);
      },
      &main);
  ui.SetProgressMaximumSource([](void* window) { return static_cast<korvo::TfMain*>(window)->Meter().Max(); },
                              &main);
  if (!main.FormCreate()) {
    main.close();  // no login: the exit lines are written and the program ends
    return 0;
  }
  if (!program.Settings.PasswordRequired()) {
    QApplication::processEvents();
    main.ShowSplash();
  }
  main.show();
  int rc = QApplication::exec();
  program.ShutDown();
  return rc;
}
