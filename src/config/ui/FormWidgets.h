#pragma once

#include <map>
#include <string>

class QButtonGroup;
class QWidget;

namespace korvo {

class THardwareForm;
struct TControlSpec;

// The widgets of the parameter screen under the names of its controls, and the two copies between
// them and THardwareForm: the form is what the screen's rules work on, the widgets what the operator
// sees and changes.
class TFormWidgets {
 public:
  // Finds every control of the catalogue under `root` and gives it its list entries, range, typing
  // limit and echo. A radio group is a group box whose buttons are made here from its entries.
  // Raises std::logic_error for a control the window lacks.
  explicit TFormWidgets(QWidget* root);

  // Everything the form holds into the widgets: value, enabled, visible and hint. No widget signals
  // a change while this runs, so no handler mistakes it for the operator.
  void Show(const THardwareForm& form) const;
  // What the operator can change (values, not the rules' states) back into the form.
  void Take(THardwareForm& form) const;

  QWidget* Widget(const std::string& name) const;
  // The buttons of a radio group, with their positions as ids.
  QButtonGroup* Group(const std::string& name) const;

 private:
  void Prepare(const TControlSpec& spec, QWidget* widget);
  void ShowValue(const TControlSpec& spec, QWidget* widget, const THardwareForm& form) const;

  QWidget* root_;
  std::map<std::string, QWidget*> widgets_;
  std::map<std::string, QButtonGroup*> groups_;
};

}  // namespace korvo
