#pragma once

#include <functional>

#include "main/ui/ToolForm.h"

class QPushButton;
class QTableView;

namespace korvo {

class TDBNavigator;
class TfMain;
class TMappingModel;

// The Communication Setting window's toolbar button and menu item.
void RegisterCommunicationWindow(TfMain& main);

// The Communication Setting window: the terminal list in the grid dbTerm with its navigator NavTerm,
// and the link test of the current row. Every change of the list and every move to another row lets
// the main window rebuild its tree. The modem and online settings are not shown here: they keep the
// values of the settings file, which Close writes back.
class TfCommunication : public TToolForm {
  Q_OBJECT
 public:
  explicit TfCommunication(TDM& dm, QWidget* parent = nullptr);

  void bbTestClick();
  void bbCloseClick();
  // Runs after every change of the grid's data or current row.
  void dsTermDataChange();

  // What the main window does then: rebuild the tree and make its first terminal current.
  std::function<void()> TerminalsChanged;

  TMappingModel* Model() const { return model_; }

 protected:
  void FormClose() override;

 private:
  TMappingModel* model_ = nullptr;
  QTableView* dbTerm_ = nullptr;
  TDBNavigator* navTerm_ = nullptr;
  int postsSeen_ = 0;
};

}  // namespace korvo
