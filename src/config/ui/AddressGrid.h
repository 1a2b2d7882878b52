#pragma once

#include <QTableWidget>
#include <string>

namespace korvo {

// A dotted address in one row of seven cells: the four numbers in cells 0, 2, 4 and 6, each at most
// three digits as typed, and a "." that cannot be edited in cells 1, 3 and 5. Typing "." in one of
// the first three numbers moves the cursor on to the next number.
class TAddressGrid : public QTableWidget {
  Q_OBJECT
 public:
  explicit TAddressGrid(QWidget* parent = nullptr);

  // The text into the cells as SplitAddressCells cuts it; a text read from a terminal is shown whole,
  // whatever its numbers hold.
  void SetAddressGrid(const std::string& text);
  // The cells joined.
  std::string GetAddressGrid() const;

  // "." typed with the cursor in `cell`: true when the cursor went on to the next number.
  bool DotTyped(int cell);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Arrow keys step over the dot cells.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace korvo
