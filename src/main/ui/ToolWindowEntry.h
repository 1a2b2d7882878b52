#pragma once

#include <QString>
#include <QStyle>
#include <functional>
#include <optional>

#include "main/TerminalFollowers.h"
#include "main/ui/ToolWindows.h"

namespace korvo {

// The menus of the main window that take tool window items.
enum class TMainMenu { None, Tools, Setup, Hardware };

// Everything the main window needs to know of one tool window. Each subsystem's ui/ folder fills one
// per window and hands it to TfMain::AddToolWindow from its registration function.
struct TToolWindowEntry {
  TToolWindow id = TToolWindow::Count;
  // Toolbar button; no name: no button.
  const char* buttonName = nullptr;
  QString buttonText;
  QStyle::StandardPixmap buttonIcon = QStyle::SP_FileIcon;
  // Menu item; TMainMenu::None: no item.
  TMainMenu menu = TMainMenu::None;
  const char* itemName = nullptr;
  QString itemText;
  // Creates the window (a TToolForm reports its close with its closed() signal).
  TToolWindows::TFactory factory;
  // Runs after the button or the menu item opened the window. A preparation that talks to a terminal
  // does it through the window's TToolForm::RunJob, so that it is skipped while another job runs.
  TToolWindows::TPrepare prepare;
  // The menu item's own preparation, where it differs from the button's.
  std::optional<TToolWindows::TPrepare> itemPrepare;
  // When the window follows a change of the current terminal: its place in that order and what it
  // does, with the open window, when the clicked terminal passes or fails the identity check.
  std::optional<TFollower> follower;
  TToolWindows::TPrepare onPassed;
  TToolWindows::TPrepare onFailed;
};

}  // namespace korvo
