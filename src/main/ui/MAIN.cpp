#include "main/ui/MAIN.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <exception>

#include "main/CurrentTerminal.h"
#include "main/DateTimeText.h"
#include "main/SystemSwitches.h"
#include "main/TerminalTree.h"
#include "main/ui/Login.h"
#include "main/ui/MeterBar.h"
#include "main/ui/SplashAbout.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/Program.h"

namespace korvo {
namespace {
QTreeWidgetItem* NewItem(const TTerminalNode& node) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.label)});
  for (const auto& child : node.children) item->addChild(NewItem(child));
  return item;
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
  tvMachine_->setMinimumWidth(160);
  connect(tvMachine_, &QTreeWidget::itemClicked, this, [this] { tvMachineClick(); });
  mdi_->setObjectName("MdiArea");
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName("spMain");
  split->addWidget(tvMachine_);
  split->addWidget(mdi_);
  split->setStretchFactor(1, 1);
  split->setSizes({200, 700});
  setCentralWidget(split);

  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  RegisterToolWindows();
  resize(1000, 660);
}

TfMain::~TfMain() = default;

void TfMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  toolsMenu_ = bar->addMenu("&Tools");
  toolsMenu_->setObjectName("miTools");
  exitItem_ = toolsMenu_->addAction("E&xit", this, &QWidget::close);
  exitItem_->setObjectName("miExit");

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

QAction* TfMain::AddToolButton(TToolWindow id, const char* name, const QString& text,
                               QStyle::StandardPixmap icon, TToolWindows::TPrepare prepare) {
  auto* action = new QAction(style()->standardIcon(icon), text, this);
  action->setObjectName(name);
  action->setCheckable(true);
  TToolWindows::InsertInOrder(tbMenu_, action, id, tbExit_);
  tbMenu_->widgetForAction(action)->setObjectName(name);
  tools_.SetButton(id, action);
  connect(action, &QAction::triggered, this, [this, id, prepare] { Toggle(id, prepare); });
  return action;
}

QAction* TfMain::AddMenuItem(QMenu* menu, TToolWindow id, const char* name, const QString& text,
                             TToolWindows::TPrepare prepare) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  QAction* tail = menu == toolsMenu_ ? exitItem_ : menu == setupMenu_ ? systemMenu_->menuAction() : nullptr;
  TToolWindows::InsertInOrder(menu, action, id, tail);
  menu->menuAction()->setVisible(true);
  connect(action, &QAction::triggered, this, [this, id, prepare] { Toggle(id, prepare); });
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

bool TfMain::FormCreate() {
  tools_.ClearOpenFlags();
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
  program_.ShutDown();
  event->accept();
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
}

void TfMain::tvMachineClick() {
  QTreeWidgetItem* item = tvMachine_->currentItem();
  if (tvMachine_->topLevelItemCount() == 0 || !item) return;
  std::string label = item->text(0).toStdString();
  Guarded([&] { TerminalClick(dm_, label, link_, followers_); });
}

void TfMain::ImmClick() {
  Guarded([this] { imm_->setChecked(ToggleImmediateLoading(dm_)); });
}

void TfMain::PassClick() {
  Guarded([this] { pass_->setChecked(TogglePasswordRequired(dm_)); });
}

void TfMain::AboutClick() {
  auto* about = new TfSplash(dm_, TfSplash::TMode::About);
  TToolWindows::ShowAsChild(mdi_, about);
}

void TfMain::Timer1Timer() {
  auto now = dm_.Clock.Now();
  panel2_->setText(QString::fromStdString(ShortDateText(now)));
  panel3_->setText(QString::fromStdString(LongTimeText(now)));
}

}  // namespace korvo
