// Takes the README's screenshots: starts the utility on a prepared program folder, opens every tool
// window from its toolbar button in turn and saves the main window with it as "<button>.png".
//   korvo_screenshots --folder DIR --out DIR
#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>

#include "main/ui/MAIN.h"
#include "main/ui/QtOperatorUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace {

// Lets the windows fill themselves, closing any message box that a window opens on the way.
void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  }
}

bool Save(QWidget& w, const QString& path) {
  const bool ok = w.grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("KORVO2K/Bio Utility");
  QCommandLineParser options;
  const QCommandLineOption folderOption("folder", "the prepared program folder", "DIR");
  const QCommandLineOption outOption("out", "where the pictures go", "DIR");
  options.addOption(folderOption);
  options.addOption(outOption);
  options.process(app);
  const QString out = options.value(outOption);
  QDir().mkpath(out);

  korvo::TRealClock clock;
  korvo::TQtOperatorUi ui;
  korvo::TProgram program(korvo::NormaliseFolder(options.value(folderOption).toStdString()), clock, ui);
  korvo::TDM& dm = program.Start();
  korvo::TfMain main(program, dm);
  ui.SetFrame(&main);
  // A modal box during start-up would wait for a click nobody makes.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(200);
  main.SetSplashDuration(0);
  if (!main.FormCreate()) return 1;
  main.resize(1180, 760);
  main.show();
  Settle(1500);
  bool ok = Save(main, out + "/main-window.png");

  auto* bar = main.findChild<QToolBar*>("tbMenu");
  for (QAction* action : bar->actions()) {
    QWidget* w = bar->widgetForAction(action);
    auto* button = qobject_cast<QToolButton*>(w);
    if (!button || button->objectName() == "tbExit" || !button->isEnabled()) continue;
    button->click();
    Settle(1500);
    ok = Save(main, out + "/" + button->objectName() + ".png") && ok;
    // The cardholder window's second page: the activity browser.
    if (auto* pages = main.findChild<QTabWidget*>("pcCard"); pages && pages->isVisible() && pages->count() > 1) {
      pages->setCurrentIndex(1);
      Settle(1500);
      ok = Save(main, out + "/" + button->objectName() + "-activities.png") && ok;
    }
    if (button->isChecked()) button->click();
    Settle(500);
  }
  closer.stop();
  ui.SetFrame(nullptr);
  program.ShutDown();
  return ok ? 0 : 1;
}
