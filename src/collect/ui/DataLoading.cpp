#include "collect/ui/DataLoading.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidgetItem>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardItemModel>

#include "collect/LoadingSetup.h"
#include "collect/MappingTable.h"
#include "collect/ui/MappingModel.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/UploadConfig.h"
#include "ui_DataLoading.h"

namespace korvo {
namespace {

QStringList ToQt(const std::vector<std::string>& texts) {
  QStringList list;
  for (const auto& t : texts) list << QString::fromStdString(t);
  return list;
}

}  // namespace

TfLoading::TfLoading(TDM& dm, QWidget* parent)
    : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfLoading>()) {
  ui_->setupUi(this);
  SaveDialog = [this](const QStringList& filters, const QString& folder) {
    return RunSaveDialog(filters, folder);
  };

  // The list's header: a check list box has none of its own.
  auto* header = new QHeaderView(Qt::Horizontal, this);
  header->setObjectName("hcEvent");
  auto* titles = new QStandardItemModel(0, 3, header);
  titles->setHorizontalHeaderLabels({"X", "Flag", "Description"});
  header->setModel(titles);
  header->setStretchLastSection(true);
  header->resizeSection(0, 24);
  header->resizeSection(1, 40);
  ui_->layEvent->insertWidget(0, header);

  connect(ui_->cbType, &QComboBox::currentIndexChanged, this, &TfLoading::cbTypeChange);
  connect(ui_->BitBtn1, &QPushButton::clicked, this, &TfLoading::BitBtn1Click);
  connect(ui_->BitBtn2, &QPushButton::clicked, this, &TfLoading::BitBtn2Click);
  connect(ui_->BitBtn3, &QPushButton::clicked, this, &TfLoading::BitBtn3Click);
  FormCreate();
}

TfLoading::~TfLoading() = default;

void TfLoading::FormCreate() {
  const auto guard = [this](const std::function<void()>& action) { Guarded(action); };
  const auto confirm = [this] { return dm_.Ui.AskYesNo("Delete record?"); };
  dirMap_ = new TMappingModel(dm_.ADOC, kDirMapTable, {"Flag", "Code", "Display"}, guard, this);
  eventMap_ = new TMappingModel(dm_.ADOC, kEventMapTable, {"Flag", "Code", "Display"}, guard, this);
  for (TMappingModel* model : {dirMap_, eventMap_}) model->Navigate(TMappingModel::TButton::Refresh);
  connect(eventMap_, &TMappingModel::DataChange, this, &TfLoading::dsEventDataChange);
  ui_->DBNavigator1->Bind(dirMap_, ui_->VolgaDBGrid1, confirm);
  ui_->DBNavigator2->Bind(eventMap_, ui_->VolgaDBGrid2, confirm);
  FillEventList();
}

void TfLoading::Opened() {
  auto* child = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (child && child->mdiArea()) {
    // A null window is the whole frame losing the focus, which is no activation of another child.
    connect(child->mdiArea(), &QMdiArea::subWindowActivated, this, [this, child](QMdiSubWindow* now) {
      if (now == child && !activeChild_) {
        activeChild_ = true;
        FormActivate();
      } else if (now && now != child) {
        activeChild_ = false;
      }
    });
  }
  if (!activeChild_) {
    activeChild_ = true;
    FormActivate();
  }
}

void TfLoading::FormActivate() {
  dm_.ReadUploadConfig();
  const TSysParam& p = dm_.SysParam;
  ui_->cbType->setCurrentIndex(ui_->cbType->findText(QString::fromStdString(p.OutputType)));
  ui_->edFormat->setText(QString::fromStdString(p.OutputFormat));
  ui_->edName->setText(QString::fromStdString(p.OutputFileName));
  ui_->cbTerm->setChecked(p.TermNoAsFileExt);
  ui_->cbDate->setChecked(p.DateAsFileName);
  ui_->cbDelete->setChecked(p.DeleteAfterLoaded);
  ui_->cbRestart->setChecked(p.RestartAfterLoaded);
  ui_->cbFlag->setChecked(p.FlagTransaction);
  ui_->cbTime->setChecked(p.SynchronizeTime);
  ui_->cbLock->setChecked(p.LockTerminal);
  ui_->cbSkipDup->setChecked(p.SkipDuplicates);
  FillEventList();
  ShowNameOptions();
}

void TfLoading::ShowNameOptions() {
  // No type chosen counts as a dBase type: the options would not apply.
  const bool show = NameOptionsApply(ui_->cbType->currentText().toStdString());
  ui_->lAs->setVisible(show);
  ui_->cbTerm->setVisible(show);
  ui_->cbDate->setVisible(show);
}

void TfLoading::cbTypeChange() {
  ShowNameOptions();
}

void TfLoading::FillEventList() {
  Guarded([this] {
    std::vector<TEventFilterRow> rows = EventFilterRows(dm_.ADOC, dm_.SysParam.OutputEventFilter);
    ui_->clbEvent->clear();
    for (const TEventFilterRow& row : rows) {
      auto* item = new QListWidgetItem(QString::fromStdString(row.text), ui_->clbEvent);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(row.ticked ? Qt::Checked : Qt::Unchecked);
      item->setData(Qt::UserRole, QString::fromStdString(row.flag));
    }
  });
}

void TfLoading::dsEventDataChange() {
  FillEventList();
}

std::optional<TfLoading::TChosenFile> TfLoading::RunSaveDialog(const QStringList& filters,
                                                               const QString& folder) {
  QFileDialog dialog(this, "Save As", folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The output file is appended to: choosing one that exists replaces nothing.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return TChosenFile{dialog.selectedFiles().first(),
                     static_cast<int>(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0))};
}

void TfLoading::BitBtn3Click() {
  const std::string type = ui_->cbType->currentIndex() < 0 ? "" : ui_->cbType->currentText().toStdString();
  const QString folder = QFileInfo(QString::fromStdString(dm_.SysParam.OutputFileName)).path();
  if (std::optional<TChosenFile> chosen = SaveDialog(ToQt(OutputFileFilters(type)), folder)) {
    const std::string name = ChosenOutputFileName(type, chosen->filter, chosen->name.toStdString());
    ui_->edName->setText(QString::fromStdString(name));
    dm_.SysParam.OutputFileName = name;
  }
  ui_->edName->setFocus();
  ui_->edName->selectAll();
}

void TfLoading::BitBtn1Click() {
  TLoadingSetup s;
  if (ui_->cbType->currentIndex() >= 0) s.outputType = ui_->cbType->currentText().toStdString();
  s.outputFormat = ui_->edFormat->text().toStdString();
  s.outputFileName = ui_->edName->text().toStdString();
  for (int i = 0; i < ui_->clbEvent->count(); ++i) {
    const QListWidgetItem* item = ui_->clbEvent->item(i);
    if (item->checkState() == Qt::Checked)
      s.tickedFlags.push_back(item->data(Qt::UserRole).toString().toStdString());
  }
  s.termNoAsFileExt = ui_->cbTerm->isChecked();
  s.dateAsFileName = ui_->cbDate->isChecked();
  s.deleteAfterLoaded = ui_->cbDelete->isChecked();
  s.restartAfterLoaded = ui_->cbRestart->isChecked();
  s.flagTransaction = ui_->cbFlag->isChecked();
  s.synchronizeTime = ui_->cbTime->isChecked();
  s.lockTerminal = ui_->cbLock->isChecked();
  s.skipDuplicates = ui_->cbSkipDup->isChecked();
  if (SaveLoadingSetup(s, dm_.ProgramFolder(), dm_.SysParam, dm_.Ui,
                       [this](const std::string& message, bool stamped) { dm_.WriteLog(message, stamped); }))
    close();
}

void TfLoading::BitBtn2Click() {
  close();
}

}  // namespace korvo
