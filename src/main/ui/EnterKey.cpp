#include "main/ui/EnterKey.h"

#include <QKeyEvent>

namespace korvo {

bool IsEnterKeyPress(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace korvo
