#include "tools/ui/DirectComm.h"

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"
#include "tools/ConsoleLayouts.h"
#include "tools/DirectComm.h"

namespace korvo {
namespace {

// The last command typed, for the whole run: reopening the window keeps it.
std::string& LastCommand() {
  static std::string last;
  return last;
}

}  // namespace

// The result list kept in step with the list box.
class TListBoxLines final : public TResultList {
 public:
  explicit TListBoxLines(QListWidget* box) : box_(box) {}
  void Clear() override {
    TResultList::Clear();
    box_->clear();
  }
  void Add(const std::string& line) override {
    TResultList::Add(line);
    box_->addItem(QString::fromStdString(line));
  }

 private:
  QListWidget* box_;
};

TfDirect::TfDirect(TDM& dm, QWidget* parent) : TToolForm(dm, parent) {
  setWindowTitle("Direct Command");
  setObjectName("fDirect");
  pDirect_ = new QLabel(this);
  pDirect_->setObjectName("pDirect");
  pDirect_->setAlignment(Qt::AlignCenter);
  pDirect_->setFrameShape(QFrame::Panel);
  QFont big = pDirect_->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  pDirect_->setFont(big);
  edCmd_ = new QLineEdit(this);
  edCmd_->setObjectName("edCmd");
  edCmd_->installEventFilter(this);
  lbResult_ = new QListWidget(this);
  lbResult_->setObjectName("lbResult");
  lbResult_->setFont(QFont("Monospace"));
  lbResult_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* pSave = new QAction("Save", lbResult_);
  pSave->setObjectName("PSave");
  lbResult_->addAction(pSave);
  lines_ = std::make_unique<TListBoxLines>(lbResult_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pDirect_);
  layout->addWidget(edCmd_);
  layout->addWidget(lbResult_, 1);

  connect(edCmd_, &QLineEdit::returnPressed, this, &TfDirect::edCmdEnter);
  connect(pSave, &QAction::triggered, this, &TfDirect::PSaveClick);
}

TfDirect::~TfDirect() = default;

void TfDirect::SetLocation(const QString& location) {
  pDirect_->setText(location);
}

void TfDirect::edCmdEnter() {
  const std::string text = edCmd_->text().toStdString();
  const std::string address = dm_.Settings.CurAddr();
  bool empty = false;
  RunJob("Direct Command", [&] {
    TDirectConsole console(
        dm_.Link, dm_.Ui, *lines_, [this](const std::string& m) { dm_.WriteLog(m, true); }, LastCommand());
    empty = console.Run(address, text);
  });
  if (empty) edCmd_->clear();
}

void TfDirect::edCmdRecall() {
  edCmd_->setText(QString::fromStdString(LastCommand()));
  edCmd_->setCursorPosition(static_cast<int>(edCmd_->text().size()));
}

void TfDirect::PSaveClick() {
  std::optional<QString> chosen;
  if (SaveDialog) {
    chosen = SaveDialog();
  } else {
    const QString name =
        QFileDialog::getSaveFileName(this, "Save To Text File", QString(), "Text files (*.TXT)");
    if (!name.isEmpty()) chosen = name;
  }
  if (!chosen) return;
  Guarded([&] { SaveResultLines(ResultFileName(chosen->toStdString()), lines_->Lines()); });
}

bool TfDirect::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edCmd_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_X && key->modifiers() == Qt::ControlModifier) {
      edCmdRecall();
      return true;
    }
  }
  return TToolForm::eventFilter(watched, event);
}

void RegisterDirectWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::DirectCommand;
  entry.buttonName = "tbDirect";
  entry.buttonText = "Direct Command";
  entry.buttonIcon = QStyle::SP_CommandLink;
  entry.menu = TMainMenu::Tools;
  entry.itemName = "miDirect";
  entry.itemText = "&Direct Command";
  entry.factory = [&dm] { return new TfDirect(dm); };
  entry.prepare = [&dm](QWidget* w) {
    static_cast<TfDirect*>(w)->SetLocation(QString::fromStdString(dm.Settings.CurLocation()));
    // A maximised child without a border.
    if (auto* child = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
      child->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
      child->showMaximized();
    }
  };
  entry.follower = TFollower::DirectCommand;
  entry.onPassed = [&dm](QWidget* w) {
    static_cast<TfDirect*>(w)->SetLocation(QString::fromStdString(dm.Settings.CurLocation()));
  };
  main.AddToolWindow(entry);
}

}  // namespace korvo
