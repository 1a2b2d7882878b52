#include "tools/ui/Communication.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "collect/ui/DBNavigator.h"
#include "collect/ui/MappingModel.h"
#include "main/TerminalTree.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "tools/Communication.h"

namespace korvo {

TfCommunication::TfCommunication(TDM& dm, QWidget* parent) : TToolForm(dm, parent) {
  setWindowTitle("Communication Setting");
  setObjectName("fCommunication");
  const auto guard = [this](const std::function<void()>& action) { Guarded(action); };
  model_ =
      new TMappingModel(dm_.ADOC, kTerminalsTable, {"Address ", "TermNo", "Location", "Port"}, guard, this);
  dbTerm_ = new QTableView(this);
  dbTerm_->setObjectName("dbTerm");
  dbTerm_->setSelectionMode(QAbstractItemView::SingleSelection);
  dbTerm_->horizontalHeader()->setStretchLastSection(true);
  navTerm_ = new TDBNavigator(this);
  navTerm_->setObjectName("NavTerm");
  auto* bbTest = new QPushButton(" &Test Communication", this);
  bbTest->setObjectName("bbTest");
  auto* bbClose = new QPushButton(" &Close", this);
  bbClose->setObjectName("bbClose");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(navTerm_);
  buttons->addStretch();
  buttons->addWidget(bbTest);
  buttons->addWidget(bbClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dbTerm_);
  layout->addLayout(buttons);
  resize(560, 320);

  connect(bbTest, &QPushButton::clicked, this, &TfCommunication::bbTestClick);
  connect(bbClose, &QPushButton::clicked, this, &TfCommunication::bbCloseClick);
  // Opening reads the list; the tree is rebuilt only by the operator's changes.
  model_->Navigate(TMappingModel::TButton::Refresh);
  navTerm_->Bind(model_, dbTerm_, [this] { return dm_.Ui.AskYesNo("Delete record?"); });
  dbTerm_->setColumnWidth(0, 160);
  dbTerm_->setColumnWidth(2, 140);
  connect(model_, &TMappingModel::DataChange, this, &TfCommunication::dsTermDataChange);
}

void TfCommunication::dsTermDataChange() {
  const TMappingTable& table = model_->Table();
  if (table.PostCount() != postsSeen_) {
    postsSeen_ = table.PostCount();
    Guarded([&] {
      if (const auto warning = LocationWarning(dm_.ADOC, table.LastPostedKey())) dm_.Ui.Warning(*warning);
    });
  }
  if (TerminalsChanged) TerminalsChanged();
}

void TfCommunication::bbTestClick() {
  // A pending edit is stored first: the test goes to the row as the database holds it.
  if (model_->Table().State() != TMappingTable::TState::Browse) {
    model_->Navigate(TMappingModel::TButton::Post);
    if (model_->Table().State() != TMappingTable::TState::Browse) return;
  }
  const int row = model_->Table().Current();
  if (row < 0) return;
  const std::string address = model_->Table().Row(row)[0];
  RunJob("Testing the communication with " + address, [&] { TestCommunication(dm_.Link, dm_.Ui, address); });
}

void TfCommunication::bbCloseClick() {
  close();
}

void TfCommunication::FormClose() {
  dm_.SaveSettings();
}

void RegisterCommunicationWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::Communication;
  entry.buttonName = "tbComm";
  entry.buttonText = "Communication";
  entry.buttonIcon = QStyle::SP_DriveNetIcon;
  entry.menu = TMainMenu::Setup;
  entry.itemName = "miCommunication";
  entry.itemText = "&Communication";
  entry.factory = [&dm, &main] {
    auto* w = new TfCommunication(dm);
    w->TerminalsChanged = [&main, &dm] {
      // Only the Cur* fields follow, as a click on the first node would set them; nothing is sent.
      const auto nodes = BuildTerminalTree(dm);
      main.BuildTerminalTree();
      if (!nodes.empty()) main.SelectTerminal(nodes.front().label);
    };
    return w;
  };
  main.AddToolWindow(entry);
}

}  // namespace korvo
