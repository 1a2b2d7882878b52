#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <cstddef>
#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace korvo {

// The tool windows of the main window, in the order of their toolbar buttons.
enum class TToolWindow : std::size_t {
  LoadData,
  TimeDate,
  DirectCommand,
  Online,
  Cardholders,
  Communication,
  DataLoading,
  Tables,
  Administrator,
  Hardware,
  Count
};

// One open flag, one toolbar button and at most one child window per tool window. A toolbar button
// or menu item toggles its window: a second click closes it through its own close handler, and the
// window is destroyed when it has closed. A window reports that it closed with its closed() signal
// (TToolForm) or, for any other widget, by going; either clears the flag and raises the button. A
// window that puts off its close until its job has returned stays open, and its button pressed,
// until then.
class TToolWindows {
 public:
  using TFactory = std::function<QWidget*()>;
  using TPrepare = std::function<void(QWidget*)>;

  explicit TToolWindows(QMdiArea* area) : area_(area) {}

  void SetFactory(TToolWindow id, TFactory factory) { Slot(id).factory = std::move(factory); }
  void SetButton(TToolWindow id, QAction* button) { Slot(id).button = button; }
  QAction* Button(TToolWindow id) const { return Slot(id).button; }

  // Opens the window at the top left corner and prepares it, or closes it when it is open.
  void Toggle(TToolWindow id, const TPrepare& prepare);
  void Closed(TToolWindow id);
  void ClearOpenFlags();

  bool IsOpen(TToolWindow id) const { return Slot(id).open; }
  // The open window, or null.
  QWidget* Window(TToolWindow id) const { return Slot(id).window.data(); }
  template <class T>
  T* As(TToolWindow id) const {
    return qobject_cast<T*>(Window(id));
  }

  // Puts a window into a child window of its own at the top left corner. Closing the child window
  // closes the window (and runs its close handler); a window that closes itself takes its child
  // window with it.
  static QMdiSubWindow* ShowAsChild(QMdiArea* area, QWidget* window);

  // Puts a tool window's button or menu item into `container` in the order of TToolWindow: before
  // the first one of a later tool window, or before `tail` (Exit, the System submenu; null: at the
  // end) when there is none. Registrations may then come in any order.
  static void InsertInOrder(QWidget* container, QAction* action, TToolWindow id, QAction* tail);

 private:
  struct TSlot {
    bool open = false;
    QAction* button = nullptr;
    TFactory factory;
    QPointer<QWidget> window;
    QPointer<QMdiSubWindow> child;
  };
  TSlot& Slot(TToolWindow id) { return slots_.at(static_cast<std::size_t>(id)); }
  const TSlot& Slot(TToolWindow id) const { return slots_.at(static_cast<std::size_t>(id)); }
  void SetPressed(TSlot& s, bool pressed);

  QMdiArea* area_;
  // Owns the connections to the windows' signals: none outlives this object.
  QObject context_;
  std::array<TSlot, static_cast<std::size_t>(TToolWindow::Count)> slots_;
};

}  // namespace korvo
