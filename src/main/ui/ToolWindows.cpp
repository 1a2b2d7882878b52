#include "main/ui/ToolWindows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVariant>

#include "main/ui/ToolForm.h"

namespace korvo {
namespace {
constexpr const char* kOrderProperty = "toolWindowOrder";
}

void TToolWindows::InsertInOrder(QWidget* container, QAction* action, TToolWindow id, QAction* tail) {
  action->setProperty(kOrderProperty, static_cast<int>(id));
  QAction* before = tail;
  for (QAction* a : container->actions()) {
    QVariant order = a->property(kOrderProperty);
    if (a != action && order.isValid() && order.toInt() > static_cast<int>(id)) {
      before = a;
      break;
    }
  }
  container->insertAction(before, action);
}

QMdiSubWindow* TToolWindows::ShowAsChild(QMdiArea* area, QWidget* window) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  const QSize designed = window->size();  // the size its form was drawn at
  QMdiSubWindow* child = area->addSubWindow(window);
  child->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(window, &QObject::destroyed, child, &QObject::deleteLater);
  child->adjustSize();
  QSize missing = (designed - window->size()).expandedTo(QSize(0, 0));
  child->resize(child->size() + missing);
  child->move(0, 0);
  child->show();
  return child;
}

void TToolWindows::SetPressed(TSlot& s, bool pressed) {
  if (s.button) s.button->setChecked(pressed);
}

void TToolWindows::Toggle(TToolWindow id, const TPrepare& prepare) {
  TSlot& s = Slot(id);
  if (s.open) {
    // Its own close handler runs; a window busy with its job closes when the job has returned and
    // reports it then.
    if (s.window) {
      if (s.window->close()) Closed(id);
    } else {
      if (s.child) s.child->close();
      Closed(id);
    }
    return;
  }
  s.open = true;
  SetPressed(s, true);
  if (!s.factory) return;
  QWidget* w = s.factory();
  s.window = w;
  if (auto* form = qobject_cast<TToolForm*>(w))
    QObject::connect(form, &TToolForm::closed, &context_, [this, id] { Closed(id); });
  QObject::connect(w, &QObject::destroyed, &context_, [this, id, w] {
    if (Slot(id).window.isNull() || Slot(id).window == w) Closed(id);
  });
  s.child = ShowAsChild(area_, w);
  if (prepare) prepare(w);
}

void TToolWindows::Closed(TToolWindow id) {
  TSlot& s = Slot(id);
  s.open = false;
  SetPressed(s, false);
}

void TToolWindows::ClearOpenFlags() {
  for (auto& s : slots_) s.open = false;
}

}  // namespace korvo
