#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>

#include "main/ui/MAIN.h"
#include "main/ui/QtOperatorUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("KORVO2K/Bio Utility");
  QApplication::setWindowIcon(QIcon(":/korvo2k.png"));
  QGuiApplication::setDesktopFileName("korvo2k");
  QCommandLineParser options;
  options.setApplicationDescription("The KORVO2K/Bio utility.");
  options.addHelpOption();
  const QCommandLineOption folderOption(
      "folder",
      "The program folder: settings, database, log (default: $KORVO2K_FOLDER, else the executable's "
      "folder of a writable portable build, else $XDG_DATA_HOME/korvo2k).",
      "DIR");
  options.addOption(folderOption);
  options.process(app);

  std::string problem;
  const korvo::TFolderChoice folder =
      korvo::ResolveProgramFolder(options.value(folderOption).toStdString(), problem);
  if (!problem.empty()) QMessageBox::warning(nullptr, "KORVO2K/Bio Utility", QString::fromStdString(problem));
  korvo::TRealClock clock;
  korvo::TQtOperatorUi ui;
  // The settings first, then the data module; a database that cannot be opened is reported in an
  // error box here, before the main window exists, and the start goes on.
  korvo::TProgram program(folder.folder, clock, ui);
  program.FolderSource = folder.source;
  korvo::TDM& dm = program.Start();

  korvo::TfMain main(program, dm);
  ui.SetFrame(&main);
  if (!main.FormCreate()) {
    main.close();  // no login: the exit lines are written and the program ends
    ui.SetFrame(nullptr);
    return 0;
  }
  if (!program.Settings.PasswordRequired()) {
    QApplication::processEvents();
    main.ShowSplash();
  }
  main.show();
  int rc = QApplication::exec();
  ui.SetFrame(nullptr);
  program.ShutDown();
  return rc;
}
