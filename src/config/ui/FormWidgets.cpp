#include "config/ui/FormWidgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <stdexcept>

#include "config/HardwareForm.h"
#include "config/ParamCatalogue.h"
#include "config/ui/AddressGrid.h"
#include "config/ui/TypingLimit.h"
#include "main/ui/QtText.h"

namespace korvo {
namespace {

bool IsTimeField(const std::string& name) {
  return std::find(ReverseTimeControls.begin(), ReverseTimeControls.end(), name) != ReverseTimeControls.end();
}

// A range of 0 to 0 has no limit.
std::pair<int, int> Range(const TControlSpec& spec) {
  if (spec.minimum == 0 && spec.maximum == 0)
    return {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
  return {spec.minimum, spec.maximum};
}

// The widget classes that may stand for each kind of control.
bool Fits(const TControlSpec& spec, QWidget* widget) {
  switch (spec.kind) {
    case TControlKind::List:
      return qobject_cast<QComboBox*>(widget) || qobject_cast<QGroupBox*>(widget);
    case TControlKind::Flag:
      return qobject_cast<QCheckBox*>(widget);
    case TControlKind::Number:
      return qobject_cast<QSpinBox*>(widget) || qobject_cast<QSlider*>(widget);
    case TControlKind::Address:
      return qobject_cast<TAddressGrid*>(widget);
    case TControlKind::Text:
      return qobject_cast<QLineEdit*>(widget);
    case TControlKind::Label:
      return qobject_cast<QLabel*>(widget);
  }
  return false;
}

}  // namespace

TFormWidgets::TFormWidgets(QWidget* root) : root_(root) {
  for (const auto& spec : ControlCatalogue()) {
    auto* widget = root->findChild<QWidget*>(QString::fromStdString(spec.name));
    if (!widget || !Fits(spec, widget))
      throw std::logic_error("The parameter screen lacks its control " + spec.name + ".");
    widgets_[spec.name] = widget;
    Prepare(spec, widget);
  }
}

void TFormWidgets::Prepare(const TControlSpec& spec, QWidget* widget) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    for (const auto& entry : spec.items) combo->addItem(Q(entry));
    combo->setCurrentIndex(-1);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget); box && spec.kind == TControlKind::List) {
    auto* group = new QButtonGroup(box);
    if (!box->layout()) new QVBoxLayout(box);
    for (std::size_t i = 0; i < spec.items.size(); ++i) {
      auto* button = new QRadioButton(Q(spec.items[i]), box);
      button->setObjectName(Q(spec.name + std::to_string(i)));
      box->layout()->addWidget(button);
      group->addButton(button, static_cast<int>(i));
    }
    groups_[spec.name] = group;
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    auto [low, high] = Range(spec);
    spin->setRange(low, high);
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    auto [low, high] = Range(spec);
    slider->setRange(low, high);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (IsTimeField(spec.name))
      edit->setValidator(new TTimeField(edit));
    else if (spec.kind == TControlKind::Text)
      edit->setValidator(new TTypingLimit(spec.maxLength, edit));
    if (spec.hiddenText) edit->setEchoMode(QLineEdit::Password);
  }
}

QWidget* TFormWidgets::Widget(const std::string& name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second;
}

QButtonGroup* TFormWidgets::Group(const std::string& name) const {
  auto it = groups_.find(name);
  return it == groups_.end() ? nullptr : it->second;
}

void TFormWidgets::ShowValue(const TControlSpec& spec, QWidget* widget, const THardwareForm& form) const {
  const TControlState& state = form[spec.name];
  switch (spec.kind) {
    case TControlKind::List:
      if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(state.index);
      } else if (QButtonGroup* group = Group(spec.name)) {
        // No button checked is possible only while the group is not exclusive.
        group->setExclusive(false);
        for (QAbstractButton* button : group->buttons()) {
          const QSignalBlocker quiet(button);
          button->setChecked(group->id(button) == state.index);
        }
        group->setExclusive(true);
      }
      break;
    case TControlKind::Flag:
      static_cast<QAbstractButton*>(widget)->setChecked(state.checked);
      break;
    case TControlKind::Number:
      if (auto* spin = qobject_cast<QSpinBox*>(widget))
        spin->setValue(static_cast<int>(state.number));
      else if (auto* slider = qobject_cast<QSlider*>(widget))
        slider->setValue(static_cast<int>(state.number));
      break;
    case TControlKind::Address:
      static_cast<TAddressGrid*>(widget)->SetAddressGrid(state.text);
      break;
    case TControlKind::Text: {
      auto* edit = static_cast<QLineEdit*>(widget);
      if (IsTimeField(spec.name))
        edit->setText(TTimeField::Shown(state.text));
      else
        TTypingLimit::SetText(edit, Q(state.text));
      break;
    }
    case TControlKind::Label:
      static_cast<QLabel*>(widget)->setText(Q(state.text));
      break;
  }
}

void TFormWidgets::Show(const THardwareForm& form) const {
  for (const auto& spec : ControlCatalogue()) {
    QWidget* widget = Widget(spec.name);
    const TControlState& state = form[spec.name];
    const QSignalBlocker quiet(widget);
    ShowValue(spec, widget, form);
    widget->setEnabled(state.enabled);
    widget->setVisible(state.visible);
    widget->setToolTip(Q(state.hint));
  }
}

void TFormWidgets::Take(THardwareForm& form) const {
  for (const auto& spec : ControlCatalogue()) {
    QWidget* widget = Widget(spec.name);
    switch (spec.kind) {
      case TControlKind::List:
        if (auto* combo = qobject_cast<QComboBox*>(widget))
          form.SetIndex(spec.name, combo->currentIndex());
        else if (QButtonGroup* group = Group(spec.name))
          form.SetIndex(spec.name, group->checkedId());
        break;
      case TControlKind::Flag:
        form.SetChecked(spec.name, static_cast<QAbstractButton*>(widget)->isChecked());
        break;
      case TControlKind::Number:
        if (auto* spin = qobject_cast<QSpinBox*>(widget))
          form.SetNumber(spec.name, spin->value());
        else if (auto* slider = qobject_cast<QSlider*>(widget))
          form.SetNumber(spec.name, slider->value());
        break;
      case TControlKind::Address:
        form.SetText(spec.name, static_cast<TAddressGrid*>(widget)->GetAddressGrid());
        break;
      case TControlKind::Text: {
        const QString text = static_cast<QLineEdit*>(widget)->text();
        form.SetText(spec.name, IsTimeField(spec.name) ? TTimeField::Value(text) : text.toStdString());
        break;
      }
      case TControlKind::Label:
        break;
    }
  }
}

}  // namespace korvo
