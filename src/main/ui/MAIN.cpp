#include "main/ui/MAIN.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <exception>

#include "cards/ui/CardsToolWindows.h"
#include "collect/ui/CollectToolWindows.h"
#include "config/ui/ConfigToolWindows.h"
#include "main/CurrentTerminal.h"
#include "main/DateTimeText.h"
#include "main/SystemSwitches.h"
#include "main/TerminalTree.h"
#include "main/ui/Login.h"
#include "main/ui/MainToolWindows.h"
#include "main/ui/MeterBar.h"
#include "main/ui/SplashAbout.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/Program.h"
#include "tables/ui/TablesToolWindows.h"
#include "tools/ui/ToolsToolWindows.h"

namespace korvo {
namespace {
QTreeWidgetItem* NewItem(const TTerminalNode& node) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.label)});
  for (const auto& child : node.children) item->addChild(NewItem(child));
  return item;
}

// The width the tree needs for the widest label of a terminal: a location of 15 characters and a
// dotted address, one level down.
int TreeWidth(const QTreeWidget* tree) {
  const QFontMetrics fm = tree->fontMetrics();
  const QString widest = "Warehouse North [192.168.100.200@123456]";
  return fm.horizontalAdvance(widest) + 2 * tree->indentation() + 2 * tree->frameWidth() +
         tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
}

bool IsActivationKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
}
}  // namespace

TfMain::TfMain(TProgram& program, TDM& dm, QWidget* parent)
    : QMainWindow(parent),
      program_(program),
      dm_(dm),
      mdi_(new QMdiArea(this)),
      tools_(mdi_),
      link_(TTerminalLink::Of(dm)) {
  setObjectName("fMain");
  setWindowTitle("KORVO2K/Bio Utility");

  tvMachine_ = new QTreeWidget(this);
  tvMachine_->setObjectName("tvMachine");
  tvMachine_->setHeaderHidden(true);
  tvMachine_->setColumnCount(1);
  // Labels are shown whole: the column is as wide as its longest label.
  tvMachine_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tvMachine_->header()->setStretchLastSection(false);
  const int treeWidth = TreeWidth(tvMachine_);
  tvMachine_->setMinimumWidth(treeWidth);
  tvMachine_->installEventFilter(this);
  connect(tvMachine_, &QTreeWidget::itemClicked, this, [this] { tvMachineClick(); });
  mdi_->setObjectName("MdiArea");
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName("spMain");
  split->addWidget(tvMachine_);
  split->addWidget(mdi_);
  split->setStretchFactor(1, 1);
  split->setSizes({treeWidth, 1000 - treeWidth});
  setCentralWidget(split);

  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  // One call per subsystem: each adds its own tool windows.
  RegisterMainToolWindows(*this);
  RegisterConfigToolWindows(*this);
  RegisterCollectToolWindows(*this);
  RegisterCardsToolWindows(*this);
  RegisterTablesToolWindows(*this);
  RegisterToolsToolWindows(*this);
  resize(1000, 660);
  dm_.Jobs.OnEnded = [this] { JobEnded(); };
}

TfMain::~TfMain() {
  dm_.Jobs.OnEnded = nullptr;
}

void TfMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  toolsMenu_ = bar->addMenu("&Tools");
  toolsMenu_->setObjectName("miTools");
  exitItem_ = toolsMenu_->addAction("E&xit", this, &QWidget::close);
  exitItem_->setObjectName("miExit");
  exitItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  exitItem_->setShortcutContext(Qt::ApplicationShortcut);

  setupMenu_ = bar->addMenu("&Setup");
  setupMenu_->setObjectName("miSetup");
  systemMenu_ = setupMenu_->addMenu("&System");
  systemMenu_->setObjectName("miSystem");
  imm_ = systemMenu_->addAction("Immediate Data Loading");
  imm_->setObjectName("Imm");
  imm_->setCheckable(true);
  connect(imm_, &QAction::triggered, this, [this] { ImmClick(); });
  pass_ = systemMenu_->addAction("Password Required");
  pass_->setObjectName("Pass");
  pass_->setCheckable(true);
  connect(pass_, &QAction::triggered, this, [this] { PassClick(); });

  hardwareMenu_ = bar->addMenu("&Hardware");
  hardwareMenu_->setObjectName("miHardware");
  hardwareMenu_->menuAction()->setVisible(false);  // until its first item is added

  QAction* about = bar->addAction("About", this, &TfMain::AboutClick);
  about->setObjectName("miAbout");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  about->setShortcutContext(Qt::ApplicationShortcut);
}

void TfMain::CreateToolBar() {
  tbMenu_ = addToolBar("Tools");
  tbMenu_->setObjectName("tbMenu");
  tbMenu_->setMovable(false);
  tbMenu_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  tbExit_ =
      tbMenu_->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), "Exit", this, &QWidget::close);
  tbExit_->setObjectName("tbExit");
  tbMenu_->widgetForAction(tbExit_)->setObjectName("tbExit");
}

void TfMain::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(false);
  panel0_ = new QLabel(this);
  panel0_->setObjectName("StatusPanel0");
  panel1_ = new QWidget(this);
  panel1_->setObjectName("StatusPanel1");
  panel1_->setFixedWidth(200);
  auto* layout = new QHBoxLayout(panel1_);
  layout->setContentsMargins(0, 0, 0, 0);
  vm_ = new TMeterBar(panel1_);
  vm_->setMaximumHeight(16);
  layout->addWidget(vm_);
  panel2_ = new QLabel(this);
  panel2_->setObjectName("StatusPanel2");
  panel3_ = new QLabel(this);
  panel3_->setObjectName("StatusPanel3");
  for (QLabel* l : {panel2_, panel3_}) {
    l->setFixedWidth(80);
    l->setAlignment(Qt::AlignCenter);
  }
  // Panel 0 stretches over whatever the other three leave.
  bar->addWidget(panel0_, 1);
  bar->addPermanentWidget(panel1_);
  bar->addPermanentWidget(panel2_);
  bar->addPermanentWidget(panel3_);

  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, &TfMain::Timer1Timer);
  timer1_->start();
  Timer1Timer();
}

void TfMain::AddToolWindow(const TToolWindowEntry& entry) {
  tools_.SetFactory(entry.id, entry.factory);
  if (entry.buttonName) AddToolButton(entry);
  if (entry.menu != TMainMenu::None) AddMenuItem(entry);
  if (entry.follower) {
    const TToolWindow id = entry.id;
    auto follow = [this, id](const TToolWindows::TPrepare& action) -> TTerminalFollowers::TAction {
      if (!action) return {};
      return [this, id, action] {
        if (QWidget* w = tools_.Window(id)) action(w);
      };
    };
    followers_.Set(*entry.follower, follow(entry.onPassed), follow(entry.onFailed));
  }
}

QAction* TfMain::AddToolButton(const TToolWindowEntry& entry) {
  auto* action = new QAction(style()->standardIcon(entry.buttonIcon), entry.buttonText, this);
  action->setObjectName(entry.buttonName);
  action->setCheckable(true);
  TToolWindows::InsertInOrder(tbMenu_, action, entry.id, tbExit_);
  tbMenu_->widgetForAction(action)->setObjectName(entry.buttonName);
  tools_.SetButton(entry.id, action);
  connect(action, &QAction::triggered, this,
          [this, id = entry.id, prepare = entry.prepare] { Toggle(id, prepare); });
  return action;
}

QAction* TfMain::AddMenuItem(const TToolWindowEntry& entry) {
  QMenu* menu = entry.menu == TMainMenu::Tools   ? toolsMenu_
                : entry.menu == TMainMenu::Setup ? setupMenu_
                                                 : hardwareMenu_;
  auto* action = new QAction(entry.itemText, this);
  if (entry.itemName) action->setObjectName(entry.itemName);
  QAction* tail = menu == toolsMenu_ ? exitItem_ : menu == setupMenu_ ? systemMenu_->menuAction() : nullptr;
  TToolWindows::InsertInOrder(menu, action, entry.id, tail);
  menu->menuAction()->setVisible(true);
  connect(
      action, &QAction::triggered, this,
      [this, id = entry.id, prepare = entry.itemPrepare.value_or(entry.prepare)] { Toggle(id, prepare); });
  return action;
}

void TfMain::Toggle(TToolWindow id, const TToolWindows::TPrepare& prepare) {
  Guarded([&] { tools_.Toggle(id, prepare); });
  // A checkable button flips itself when clicked; its state is the open flag's.
  if (QAction* button = tools_.Button(id)) button->setChecked(tools_.IsOpen(id));
}

void TfMain::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    dm_.Ui.Error(e.what());
  }
}

bool TfMain::AnnounceDatabase() {
  const TSettingsRecord& s = dm_.Settings;
  if (!s.ImmediateLoading() && s.PasswordRequired() && !dm_.DatabaseOpen()) {
    // Without the database there are no logins to check: no attempt could succeed.
    dm_.Ui.Error("The database " + dm_.DatabasePath() +
                 " cannot be read, so no operator can log in. The program ends.");
    return false;
  }
  if (dm_.DatabaseCreated() && !databaseAnnounced_) {
    databaseAnnounced_ = true;
    dm_.Ui.Information("The database " + dm_.DatabasePath() +
                       " was missing and has been created new and empty. The login name is "
                       "\"Administrator\" with the initial password \"admin\": change it in "
                       "Setup > Administrator.");
  }
  return true;
}

bool TfMain::FormCreate() {
  tools_.ClearOpenFlags();
  if (!AnnounceDatabase()) return false;
  const TSettingsRecord& s = dm_.Settings;
  if (!s.ImmediateLoading() && s.PasswordRequired()) {
    TfLogin login(dm_, {});
    if (login.exec() != QDialog::Accepted) return false;
    ShowSplash();
  }
  BuildTerminalTree();
  if (dm_.SysParam.SynchronizeTime && SynchronizeAllTerminals) {
    try {
      SynchronizeAllTerminals();
    } catch (...) {
      // A terminal whose clock could not be set must not stop the start.
    }
  }
  if (tvMachine_->topLevelItemCount() > 0) SelectTerminal(tvMachine_->topLevelItem(0)->text(0).toStdString());
  ShowCurrentTerminal();
  return true;
}

void TfMain::ShowSplash() {
  korvo::ShowSplash(dm_, splashMs_);
}

void TfMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfMain::FormActivate() {
  imm_->setChecked(dm_.Settings.ImmediateLoading());
  pass_->setChecked(dm_.Settings.PasswordRequired());
  if (!activated_) {
    activated_ = true;
    if (dm_.Settings.ImmediateLoading() && !immediateLoadAborted_ && OpenImmediateLoading) {
      dm_.WriteLog("Immediate Data Loading.", true);
      OpenImmediateLoading();
    }
  }
  // Numbers in the windows use "." whatever the desktop's locale; the core writes its dates and
  // times itself in the formats of DateTimeText.h.
  QLocale::setDefault(QLocale::c());
}

void TfMain::closeEvent(QCloseEvent* event) {
  if (dm_.Jobs.Busy()) {
    // The job is still on the stack under this call: it stops at its next abort point, and the
    // window closes when it has ended.
    closePending_ = true;
    dm_.Jobs.RequestStop();
    event->ignore();
    return;
  }
  closePending_ = false;
  program_.ShutDown();
  event->accept();
}

void TfMain::JobEnded() {
  if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tvMachine_ && IsActivationKey(event)) {
    if (tvMachine_->currentItem()) tvMachineClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfMain::ShowTalk(const QString& text) {
  // A temporary message covers panel 0 and gives it back when cleared.
  if (text.isEmpty())
    statusBar()->clearMessage();
  else
    statusBar()->showMessage(text);
}

void TfMain::ShowCurrentTerminal() {
  const TSettingsRecord& s = dm_.Settings;
  panel0_->setText(s.CurAddr().empty() ? QString()
                                       : QString::fromStdString(s.CurLocation() + " [" + s.CurAddr() + "]"));
}

void TfMain::HighlightCurrentTerminal() {
  const std::string& current = dm_.Settings.CurAddr();
  QSignalBlocker quiet(tvMachine_);
  for (QTreeWidgetItemIterator it(tvMachine_); *it; ++it) {
    if (!current.empty() && LabelAddress((*it)->text(0).toStdString()) == current) {
      tvMachine_->setCurrentItem(*it);
      return;
    }
  }
  tvMachine_->setCurrentItem(nullptr);
  tvMachine_->clearSelection();
}

void TfMain::ProgressNotice(const std::string& text) {
  dm_.Ui.ProcessMessages();
  meter_.Notice(text);
  vm_->Show(meter_);
}

void TfMain::BuildTerminalTree() {
  tvMachine_->clear();
  for (const auto& node : korvo::BuildTerminalTree(dm_)) tvMachine_->addTopLevelItem(NewItem(node));
  tvMachine_->expandAll();
}

void TfMain::SelectTerminal(const std::string& label) {
  Guarded([&] { korvo::SelectTerminal(dm_, label); });
  ShowCurrentTerminal();
}

void TfMain::tvMachineClick() {
  QTreeWidgetItem* item = tvMachine_->currentItem();
  if (tvMachine_->topLevelItemCount() == 0 || !item) return;
  std::string label = item->text(0).toStdString();
  TClickResult result = TClickResult::Failed;
  Guarded([&] { result = TerminalClick(dm_, label, link_, followers_); });
  // A refused click changed nothing: the highlight goes back to the terminal that is current.
  if (result == TClickResult::Refused) HighlightCurrentTerminal();
  ShowCurrentTerminal();
}

void TfMain::ImmClick() {
  Guarded([this] { imm_->setChecked(ToggleImmediateLoading(dm_)); });
}

void TfMain::PassClick() {
  Guarded([this] { pass_->setChecked(TogglePasswordRequired(dm_)); });
}

void TfMain::AboutClick() {
  auto* about = new TfSplash(dm_, TfSplash::TMode::About);
  QMdiSubWindow* child = TToolWindows::ShowAsChild(mdi_, about);
  // A fixed box: a caption with a close box, nothing to minimise or maximise.
  child->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void TfMain::Timer1Timer() {
  auto now = dm_.Clock.Now();
  panel2_->setText(QString::fromStdString(ShortDateText(now)));
  panel3_->setText(QString::fromStdString(LongTimeText(now)));
}

}  // namespace korvo
