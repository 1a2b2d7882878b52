#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolBar>

#include "main/ui/ToolWindows.h"

namespace korvo {
namespace {

TEST(ToolWindows, ButtonsTakeTheirPlacesWhateverOrderTheyAreAddedIn) {
  QToolBar bar;
  QAction* exit = bar.addAction("Exit");
  QAction adm("Adm"), load("Load"), hardware("Hardware"), tables("Tables");
  TToolWindows::InsertInOrder(&bar, &adm, TToolWindow::Administrator, exit);
  TToolWindows::InsertInOrder(&bar, &hardware, TToolWindow::Hardware, exit);
  TToolWindows::InsertInOrder(&bar, &load, TToolWindow::LoadData, exit);
  TToolWindows::InsertInOrder(&bar, &tables, TToolWindow::Tables, exit);
  QStringList order;
  for (QAction* a : bar.actions()) order << a->text();
  EXPECT_EQ(order, (QStringList{"Load", "Tables", "Adm", "Hardware", "Exit"}));
}

TEST(ToolWindows, OneWindowPerFlagToggledByEveryButtonThatSharesIt) {
  QMdiArea area;
  area.resize(600, 400);
  area.show();
  TToolWindows tools(&area);
  QAction button("Tables");
  button.setCheckable(true);
  tools.SetButton(TToolWindow::Tables, &button);
  int created = 0;
  tools.SetFactory(TToolWindow::Tables, [&] {
    ++created;
    return new QLabel("tables");
  });
  QStringList prepared;

  tools.Toggle(TToolWindow::Tables,
               [&](QWidget* w) { prepared << "button " + static_cast<QLabel*>(w)->text(); });
  EXPECT_TRUE(tools.IsOpen(TToolWindow::Tables));
  EXPECT_TRUE(button.isChecked());
  QPointer<QWidget> window = tools.Window(TToolWindow::Tables);
  ASSERT_FALSE(window.isNull());
  ASSERT_EQ(area.subWindowList().size(), 1);
  EXPECT_EQ(area.subWindowList().front()->pos(), QPoint(0, 0));

  // A second way in (a menu item with its own preparation) closes what the first one opened: through
  // its close handler, and it is destroyed once back in the event loop.
  tools.Toggle(TToolWindow::Tables, [&](QWidget*) { prepared << "menu"; });
  EXPECT_FALSE(window.isNull() || window->isVisible());
  for (int i = 0; i < 3; ++i) QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_FALSE(tools.IsOpen(TToolWindow::Tables));
  EXPECT_FALSE(button.isChecked());
  EXPECT_EQ(prepared, QStringList{"button tables"});

  tools.Toggle(TToolWindow::Tables, [&](QWidget*) { prepared << "menu"; });
  EXPECT_EQ(created, 2);
  EXPECT_EQ(prepared.back(), "menu");
  // The window closing itself reports it; the flag and the button follow.
  tools.Closed(TToolWindow::Tables);
  EXPECT_FALSE(tools.IsOpen(TToolWindow::Tables));
  EXPECT_FALSE(button.isChecked());
  EXPECT_FALSE(tools.IsOpen(TToolWindow::Administrator));
}

}  // namespace
}  // namespace korvo
