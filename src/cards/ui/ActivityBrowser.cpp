#include "cards/ui/ActivityBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "cards/ActivityDelete.h"
#include "cards/ActivityExport.h"
#include "cards/ActivityPage.h"
#include "cards/ReloadBackup.h"
#include "cards/ReloadSource.h"
#include "cards/ui/ActivityModel.h"
#include "collect/TransactionRecord.h"
#include "main/ui/QtText.h"
#include "main/ui/ToolForm.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/MonthlyLog.h"
#include "store/OperatorUi.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

void Fill(QComboBox* box, const std::vector<std::string>& items) {
  box->clear();
  for (const auto& item : items) box->addItem(Q(item));
  box->setCurrentIndex(0);
}

TOutputDate Today(TClock& clock) {
  const TLocalTime now = ToLocal(clock.Now());
  return {now.year, now.month, now.day};
}

}  // namespace

TActivityBrowser::TActivityBrowser(TDM& dm, TToolForm& form, QWidget* page,
                                   std::function<void(const std::function<void()>&)> guarded)
    : QObject(page), dm_(dm), form_(form), page_(page), guarded_(std::move(guarded)) {
  auto* top = new QVBoxLayout(page);
  vActivity_ = Named(new QTableView(page), "vActivity");
  model_ = new TActivityModel(dm_.ADOC, this);
  model_->OnError = [this](const std::string& text) { dm_.Ui.Error(text); };
  vActivity_->setModel(model_);
  vActivity_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vActivity_->setSelectionBehavior(QAbstractItemView::SelectRows);
  vActivity_->verticalHeader()->hide();
  vActivity_->horizontalHeader()->setSectionsClickable(true);
  top->addWidget(vActivity_, 1);

  pcActivity_ = Named(new QTabWidget(page), "pcActivity");
  auto* tsFilter = Named(new QWidget, "tsFilter");
  auto* tsReload = Named(new QWidget, "tsReload");
  pcActivity_->addTab(tsFilter, "Filter && Saving");
  pcActivity_->addTab(tsReload, "Reload Backup File");
  top->addWidget(pcActivity_);
  BuildFilterPage(tsFilter);
  BuildReloadPage(tsReload);

  connect(vActivity_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { guarded_([this, column] { vActivityTitleClick(column); }); });
  connect(bbView_, &QPushButton::clicked, this, [this] { guarded_([this] { bbViewClick(); }); });
  connect(bbDel_, &QPushButton::clicked, this, [this] { bbDelClick(); });
  connect(bbSave_, &QPushButton::clicked, this, [this] { guarded_([this] { bbSaveClick(); }); });
  connect(bbReload_, &QPushButton::clicked, this, [this] { bbReloadClick(); });
  SaveDialog = [this](const QStringList& filters) { return RunSaveDialog(filters); };
}

void TActivityBrowser::BuildFilterPage(QWidget* page) {
  auto* grid = new QGridLayout(page);
  eCardFr_ = Named(new QLineEdit(page), "eCardFr");
  eCardTo_ = Named(new QLineEdit(page), "eCardTo");
  meTimeFr_ = Named(new QLineEdit(page), "meTimeFr");
  meTimeTo_ = Named(new QLineEdit(page), "meTimeTo");
  for (QLineEdit* e : {meTimeFr_, meTimeTo_}) e->setInputMask("9999/99/99 99:99:99;_");
  lbEvent_ = Named(new QComboBox(page), "lbEvent");
  cbLocation_ = Named(new QComboBox(page), "cbLocation");
  grid->addWidget(new QLabel("Card Number :", page), 0, 0);
  grid->addWidget(eCardFr_, 0, 1);
  grid->addWidget(eCardTo_, 0, 2);
  grid->addWidget(new QLabel("Time (YYYYMMDDHHMMSS) :", page), 1, 0);
  grid->addWidget(meTimeFr_, 1, 1);
  grid->addWidget(meTimeTo_, 1, 2);
  grid->addWidget(new QLabel("Event :", page), 2, 0);
  grid->addWidget(lbEvent_, 2, 1, 1, 2);
  grid->addWidget(new QLabel("Location :", page), 3, 0);
  grid->addWidget(cbLocation_, 3, 1, 1, 2);
  auto* buttons = new QVBoxLayout;
  bbView_ = Named(new QPushButton("View", page), "bbView");
  bbDel_ = Named(new QPushButton("Delete", page), "bbDel");
  bbSave_ = Named(new QPushButton("Save", page), "bbSave");
  for (QPushButton* b : {bbView_, bbDel_, bbSave_}) buttons->addWidget(b);
  grid->addLayout(buttons, 0, 3, 4, 1);
}

void TActivityBrowser::BuildReloadPage(QWidget* page) {
  auto* form = new QFormLayout(page);
  cbFile_ = Named(new QComboBox(page), "cbFile");
  form->addRow("Source :", cbFile_);
  auto* choices = new QHBoxLayout;
  cbActivity_ = Named(new QCheckBox("Activities", page), "cbActivity");
  cbOut_ = Named(new QCheckBox("Output File", page), "cbOut");
  choices->addWidget(cbActivity_);
  choices->addWidget(cbOut_);
  form->addRow(choices);
  vmOut_ = Named(new QProgressBar(page), "vmOut");
  vmOut_->setAlignment(Qt::AlignCenter);
  vmOut_->setFormat("");
  form->addRow(vmOut_);
  bbReload_ = Named(new QPushButton("Reload", page), "bbReload");
  form->addRow(bbReload_);
}

TActivityFilter TActivityBrowser::Fields() const {
  TActivityFilter f;
  f.cardFrom = S(eCardFr_->text());
  f.cardTo = S(eCardTo_->text());
  f.timeFrom = TimeFieldDigits(S(meTimeFr_->text()));
  f.timeTo = TimeFieldDigits(S(meTimeTo_->text()));
  f.event = S(lbEvent_->currentText());
  f.location = S(cbLocation_->currentText());
  return f;
}

void TActivityBrowser::pcCardChange() {
  // Both queries run before any control changes: an error leaves the page as it was.
  const TActivityChoices choices = ActivityChoices(dm_.ADOC);
  TActivityFilter fields = Fields();
  fields.event = fields.location = "None";
  model_->Show({TActivityForm::Full, fields, ""});
  vActivity_->horizontalHeader()->setSortIndicatorShown(false);
  Fill(lbEvent_, choices.events);
  Fill(cbLocation_, choices.locations);
  Fill(cbFile_, BackupSources(dm_.ProgramFolder()));
  cbOut_->setToolTip(Q(OutputFileHint(dm_.SysParam.OutputFileName, dm_.SysParam.OutputFormat)));
  cbOut_->setEnabled(ReloadOutputOffered(dm_.SysParam.OutputFileName));
}

void TActivityBrowser::bbViewClick() {
  model_->Show({TActivityForm::View, Fields(), ""});
  vActivity_->horizontalHeader()->setSortIndicatorShown(false);
}

void TActivityBrowser::vActivityTitleClick(int column) {
  model_->Show(SortRun(Fields(), column));
  QHeaderView* header = vActivity_->horizontalHeader();
  header->setSortIndicator(column, Qt::AscendingOrder);
  header->setSortIndicatorShown(true);
}

void TActivityBrowser::bbDelClick() {
  form_.RunJob("Deleting activities", [this] {
    const TActivityFilter f = Fields();
    // A delete without a range is refused here by the engine, before anything is asked or removed.
    const int count = CountActivitiesToDelete(dm_.ADOC, f);
    if (!dm_.Ui.AskYesNo(DeleteQuestion(count))) return;
    DeleteActivities(dm_.ADOC, f, [this](const std::string& line) { dm_.WriteLog(line, true); });
    bbViewClick();
  });
}

std::optional<TActivityBrowser::TChosenFile> TActivityBrowser::RunSaveDialog(const QStringList& filters) {
  QFileDialog dialog(page_, "Save As");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return TChosenFile{dialog.selectedFiles().first(),
                     static_cast<int>(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0))};
}

void TActivityBrowser::bbSaveClick() {
  QStringList filters;
  for (const auto& name : ActivitySaveFilterNames()) filters << Q(name);
  const std::optional<TChosenFile> chosen = SaveDialog(filters);
  if (!chosen) return;
  const std::optional<TActivitySaveType> type = SaveTypeOfFilter(chosen->filter + 1);
  if (!type) return;
  SaveActivities(dm_.ADOC, SaveRun(model_->Run(), *type, S(cbLocation_->currentText())), *type,
                 S(chosen->name), dm_.SysParam.OutputFormat, Today(dm_.Clock));
}

void TActivityBrowser::bbReloadClick() {
  const std::string name = cbFile_->currentIndex() < 0 ? std::string() : S(cbFile_->currentText());
  const bool activities = cbActivity_->isChecked();
  const bool output = cbOut_->isChecked();
  form_.RunJob("Reloading " + name, [this, name, activities, output] {
    const TOutputDate today = Today(dm_.Clock);
    TBackupReload reload(dm_.ADOC, dm_.SysParam, dm_.ProgramFolder(), CenturyOf(today.year), today);
    TReloadSinks sinks{[this](const std::string& caption, int maximum) {
                         // Fixed captions without "%", which the bar would read as a format code.
                         vmOut_->setFormat(Q(caption));
                         vmOut_->setRange(0, std::max(maximum, 1));
                         vmOut_->setValue(0);
                       },
                       [this](int position) { vmOut_->setValue(position); },
                       [this] { dm_.Ui.ProcessMessages(); },
                       [this](const std::string& line) { dm_.WriteLog(line, true); },
                       [this](const std::string& text) { dm_.Ui.Warning(text); }};
    const TReloadResult result = reload.Reload(name, activities, output, sinks);
    if (result.done && activities) {
      vActivity_->horizontalHeader()->setSortIndicatorShown(false);
      model_->Show({TActivityForm::Short, {}, ""});
    }
  });
}

}  // namespace korvo
