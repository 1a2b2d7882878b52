#include "config/ui/Configuration.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "config/ParamRead.h"
#include "config/ParamSend.h"
#include "config/ParamTable.h"
#include "config/ui/FormWidgets.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "ui_Configuration.h"

namespace korvo {

TfHardware::TfHardware(TDM& dm, QWidget* parent)
    : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfHardware>()) {
  ui_->setupUi(this);
  widgets_ = std::make_unique<TFormWidgets>(this);
  widgets_->Show(form_);

  for (const char* name : {"cbBaud", "cbMode1", "cbMode3"}) {
    auto* list = static_cast<QComboBox*>(widgets_->Widget(name));
    connect(list, &QComboBox::activated, this, [this, name] { ListPick(name); });
  }
  connect(ui_->cbOnline, &QComboBox::activated, this, &TfHardware::cbOnlineChange);
  connect(ui_->cbIdle3, &QComboBox::activated, this, &TfHardware::cbIdle3Change);
  connect(ui_->cbRevDir, &QCheckBox::clicked, this, &TfHardware::cbRevDirClick);
  connect(ui_->cb1, &QCheckBox::clicked, this, &TfHardware::cb1Click);
  connect(widgets_->Group("rgSerial"), &QButtonGroup::idClicked, this, &TfHardware::rgSerialClick);
  connect(widgets_->Group("rgRelay"), &QButtonGroup::idClicked, this, &TfHardware::rgRelayClick);
  connect(ui_->sbSend, &QPushButton::clicked, this, &TfHardware::sbSendClick);
  connect(ui_->sbReset, &QPushButton::clicked, this, &TfHardware::sbResetClick);
  connect(ui_->sbDefault, &QPushButton::clicked, this, &TfHardware::sbDefaultClick);
  connect(ui_->sbClose, &QPushButton::clicked, this, &TfHardware::sbCloseClick);
}

TfHardware::~TfHardware() = default;

void TfHardware::Apply(const std::function<void(THardwareForm&)>& rule) {
  Guarded([&] {
    widgets_->Take(form_);
    rule(form_);
    widgets_->Show(form_);
  });
}

void TfHardware::ApplyTalking(const std::function<void(THardwareForm&)>& step) {
  widgets_->Take(form_);
  THardwareForm talking = form_;
  struct TShowAfter {
    TfHardware& window;
    THardwareForm& talking;
    ~TShowAfter() {
      window.form_ = std::move(talking);
      window.widgets_->Show(window.form_);
    }
  } showAfter{*this, talking};
  step(talking);
}

bool TfHardware::ReadTerminalParams() {
  bool read = false;
  const std::string address = dm_.Settings.CurAddr();
  const std::string location = dm_.Settings.CurLocation();
  ApplyTalking([&](THardwareForm& form) {
    read = korvo::ReadTerminalParams(dm_.Link, address, location, ParamTable(), form);
  });
  return read;
}

void TfHardware::sbSendClick() {
  dm_.Ui.ProcessMessages();
  RunJob("Sending the parameters", [this] {
    widgets_->Take(form_);
    // The send works on what the screen showed at the click; the operator may go on editing.
    THardwareForm sending = form_;
    const TSendChoice choice{ui_->pcHardware->currentIndex(), ui_->cbPage->isChecked(),
                             ui_->cbAllTerm->isChecked()};
    const TSendProgress progress{
        // A send to no terminal at all still shows an empty meter rather than a busy one.
        [this](int count) { ui_->vmHardware->setRange(0, std::max(count, 1)); },
        [this](int done) { ui_->vmHardware->setValue(done); },
        {}};
    SendTerminalParams(dm_.Link, dm_.ADOC, dm_.Settings.CurAddr(), ParamTable(), sending, choice, progress);
  });
}

void TfHardware::sbResetClick() {
  RunJob("Showing the parameters again", [this] {
    const std::string address = dm_.Settings.CurAddr();
    const std::string location = dm_.Settings.CurLocation();
    ApplyTalking([&](THardwareForm& form) { ResetParams(dm_.Link, address, location, ParamTable(), form); });
  });
}

void TfHardware::sbDefaultClick() {
  Apply([](THardwareForm& form) { ShowDefaults(form); });
}

void TfHardware::sbCloseClick() {
  close();
}

void TfHardware::rgSerialClick() {
  Apply([](THardwareForm& form) { SerialClick(form, ParamTable()); });
}

void TfHardware::rgRelayClick() {
  Apply([](THardwareForm& form) { RelayClick(form, ParamTable()); });
}

void TfHardware::cb1Click() {
  Apply([](THardwareForm& form) { Cb1Click(form, ParamTable()); });
}

void TfHardware::cbOnlineChange() {
  Apply([](THardwareForm& form) { OnlineChange(form, true); });
}

void TfHardware::cbRevDirClick() {
  Apply([](THardwareForm& form) { RevDirClick(form); });
}

void TfHardware::cbIdle3Change() {
  Apply([](THardwareForm& form) { Idle3Change(form); });
}

void TfHardware::ListPick(const std::string& control) {
  Apply([&](THardwareForm& form) { ListPicked(form, ParamTable(), control); });
}

}  // namespace korvo
