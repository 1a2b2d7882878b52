#include "tools/ui/SysInfoStatus.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <exception>

#include "store/DataMod.h"
#include "store/Jobs.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

struct TFieldText {
  const char* label;
  const char* unit;
};
constexpr std::array<TFieldText, 9> kFields{{{"System Path :", ""},
                                             {"Disk Free Space :", "K Bytes"},
                                             {"Disk Total Space :", "K Bytes"},
                                             {"Address :", ""},
                                             {"Buffer :", "Record"},
                                             {"Fingerprints Enrolled :", "Record"},
                                             {"Cardholders :", "Record"},
                                             {"Activities :", "Record"},
                                             {"Template in Database :", "Record"}}};

}  // namespace

TfSysInfo::TfSysInfo(TDM& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
  setObjectName("fSysInfo");
  setWindowTitle("System Information");
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Raised);
  auto* grid = new QGridLayout(frame);
  auto* caption = new QLabel("System Information", frame);
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  grid->addWidget(caption, 0, 0, 1, 3, Qt::AlignCenter);
  for (int i = 0; i < 9; ++i) {
    grid->addWidget(new QLabel(kFields[i].label, frame), i + 1, 0, Qt::AlignRight);
    st_[i] = new QLabel(frame);
    st_[i]->setObjectName(QString("ST%1").arg(i + 1));
    st_[i]->setFrameShape(QFrame::StyledPanel);
    st_[i]->setMinimumWidth(220);
    st_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(st_[i], i + 1, 1);
    if (*kFields[i].unit) grid->addWidget(new QLabel(kFields[i].unit, frame), i + 1, 2);
  }
  auto* bbClose = new QPushButton("OK", frame);
  bbClose->setObjectName("bbClose");
  grid->addWidget(bbClose, 11, 0, 1, 3, Qt::AlignCenter);
  connect(bbClose, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
}

QString TfSysInfo::Value(int field) const {
  return st_.at(static_cast<std::size_t>(field))->text();
}

void TfSysInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!filled_) {
    filled_ = true;
    // Filled once the window stands on the screen: the terminal may take a while to answer.
    QTimer::singleShot(0, this, &TfSysInfo::FormShow);
  }
}

void TfSysInfo::FormShow() {
  // The terminal is asked only when no other job talks to one; the database counts come all the same.
  TJobs::TGuard job = dm_.Jobs.Start("System Information");
  TSysInfoSources sources{dm_.Link, dm_.ADOC, dm_.ProgramFolder(),
                          job ? dm_.Settings.CurAddr() : std::string()};
  sources.diskSpace = DiskSpace;
  TSysInfoValues values;
  std::string error;
  try {
    FillSysInfo(sources, values);
  } catch (const std::exception& e) {
    error = e.what();
  }
  job.End();
  for (std::size_t i = 0; i < values.size(); ++i) st_[i]->setText(QString::fromStdString(values[i]));
  if (!error.empty()) dm_.Ui.Error(error);
}

void ShowSysInfo(TDM& dm, QWidget* over) {
  auto* window = new TfSysInfo(dm, over);
  window->adjustSize();
  if (over) {
    const QWidget* top = over->window();
    window->move(top->geometry().center() - window->rect().center());
  }
  window->exec();
  delete window;
}

}  // namespace korvo
