#pragma once

#include <QMainWindow>
#include <QStyle>
#include <functional>
#include <string>

#include "main/ProgressMeter.h"
#include "main/TerminalFollowers.h"
#include "main/TerminalLink.h"
#include "main/ui/OperatorFrame.h"
#include "main/ui/ToolWindowEntry.h"
#include "main/ui/ToolWindows.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;
class QTreeWidget;

namespace korvo {

class TProgram;
class TDM;
class TMeterBar;

// The frame in which every tool window opens as a child window: the terminal tree, the toolbar and
// menu that toggle the tool windows, and the status bar with the current terminal, the date, the
// time and the meter `VM`.
class TfMain : public QMainWindow, public TOperatorFrame {
  Q_OBJECT
 public:
  TfMain(TProgram& program, TDM& dm, QWidget* parent = nullptr);
  ~TfMain() override;
  QMdiArea* MdiArea() const { return mdi_; }
  TDM& DM() { return dm_; }

  // Adds a tool window: its toolbar button and menu item (in the order of TToolWindow), its open
  // flag and what it does when the current terminal changes. Each subsystem's ui/ folder calls this
  // from its registration function, which the constructor calls.
  void AddToolWindow(const TToolWindowEntry& entry);

  // Start-up: the login when required, the splash after it, the terminal tree and the first
  // terminal. False when the operator did not log in: the program ends.
  bool FormCreate();
  // Each time the window becomes active.
  void FormActivate();
  // The about window as the start-up splash.
  void ShowSplash();

  // TOperatorFrame
  QWidget* FrameWindow() override { return this; }
  void ProgressNotice(const std::string& text) override;
  int ProgressMaximum() const override { return meter_.Max(); }
  void ShowTalk(const QString& text) override;
  const TProgressMeter& Meter() const { return meter_; }

  void BuildTerminalTree();
  void SelectTerminal(const std::string& label);
  void tvMachineClick();
  // Status panel 0: the current terminal as the tree labels it ("Gate A [1]").
  void ShowCurrentTerminal();
  void ImmClick();
  void PassClick();
  void AboutClick();
  void Timer1Timer();

  TToolWindows& ToolWindows() { return tools_; }
  TTerminalFollowers& Followers() { return followers_; }
  // The terminal services of the identity check; the data module's by default.
  void SetTerminalLink(TTerminalLink link) { link_ = std::move(link); }
  void SetSplashDuration(int ms) { splashMs_ = ms; }
  // Set by the Load Data window's Abort button.
  void SetImmediateLoadAborted(bool aborted) { immediateLoadAborted_ = aborted; }
  bool ImmediateLoadAborted() const { return immediateLoadAborted_; }

  // Hook points filled in by the windows that own these jobs. Each runs only when it is set.
  // Start-up clock synchronisation of every terminal, when SynchronizeTime is on; its errors are
  // ignored.
  std::function<void()> SynchronizeAllTerminals;
  // Immediate loading on the first activation: opens Load Data exactly as tbLoad does and starts
  // its countdown.
  std::function<void()> OpenImmediateLoading;

 protected:
  // FormCloseQuery: the exit lines of the log. During a job the job is asked to stop and the window
  // closes when it has ended.
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Enter and Space on a tree node act as a click.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  QAction* AddToolButton(const TToolWindowEntry& entry);
  QAction* AddMenuItem(const TToolWindowEntry& entry);
  void Toggle(TToolWindow id, const TToolWindows::TPrepare& prepare);
  // Runs an operator action; an error of the database or the link ends it with the error box.
  void Guarded(const std::function<void()>& action);
  // Puts the tree's highlight back on the current terminal (none when it has no node).
  void HighlightCurrentTerminal();
  // What the operator is told at start about the database: a new empty one, or none to log in with.
  bool AnnounceDatabase();
  void JobEnded();

  TProgram& program_;
  TDM& dm_;
  QMdiArea* mdi_;
  QTreeWidget* tvMachine_ = nullptr;
  QToolBar* tbMenu_ = nullptr;
  QAction* tbExit_ = nullptr;
  QMenu* toolsMenu_ = nullptr;
  QMenu* setupMenu_ = nullptr;
  QMenu* hardwareMenu_ = nullptr;
  QMenu* systemMenu_ = nullptr;
  QAction* exitItem_ = nullptr;
  QAction* imm_ = nullptr;
  QAction* pass_ = nullptr;
  // Status panels 0, 2 and 3; panel 1 holds the meter.
  QLabel* panel0_ = nullptr;
  QWidget* panel1_ = nullptr;
  QLabel* panel2_ = nullptr;
  QLabel* panel3_ = nullptr;
  TMeterBar* vm_ = nullptr;
  QTimer* timer1_ = nullptr;

  TToolWindows tools_;
  TTerminalFollowers followers_;
  TTerminalLink link_;
  TProgressMeter meter_;
  int splashMs_ = 2000;
  bool activated_ = false;
  bool immediateLoadAborted_ = false;
  bool databaseAnnounced_ = false;
  // The window was closed during a job: it closes when the job has ended.
  bool closePending_ = false;
};

}  // namespace korvo
