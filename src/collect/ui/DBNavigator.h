#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "collect/ui/MappingModel.h"

class QTableView;
class QToolButton;

namespace korvo {

// The buttons beside a data grid: first, prior, next, last, insert, delete, post, cancel, refresh.
// Bound to a grid and its model, it keeps the grid's cursor on the model's current row and moves
// the model's current row with the grid's cursor.
class TDBNavigator : public QWidget {
  Q_OBJECT
 public:
  using TButton = TMappingModel::TButton;

  explicit TDBNavigator(QWidget* parent = nullptr);

  // `confirmDelete` is asked before a stored row is deleted.
  void Bind(TMappingModel* model, QTableView* grid, std::function<bool()> confirmDelete);
  void Click(TButton button);
  QToolButton* Button(TButton button) const { return buttons_.at(static_cast<std::size_t>(button)); }

 private:
  // A value typed into an open editor belongs to the row before the button acts on it.
  void CommitEditor();
  void FollowModel(int row);
  void UpdateButtons();

  std::array<QToolButton*, 9> buttons_{};
  TMappingModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  std::function<bool()> confirmDelete_;
  bool following_ = false;
};

}  // namespace korvo
