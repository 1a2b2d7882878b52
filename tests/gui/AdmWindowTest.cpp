#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "main/LoginLookup.h"
#include "main/ui/Adm.h"
#include "store/Password.h"

namespace korvo {
namespace {

class AdmWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    AddLogin("Ann", "rose");
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
  }
  TfAdm* Adm() { return main->findChild<TfAdm*>("fAdm"); }
  template <class T>
  T* InAdm(const char* name) {
    return Adm()->findChild<T*>(name);
  }
  QStringList Column(int column) {
    QStringList out;
    auto* grid = InAdm<QTableWidget>("sgAdm");
    for (int r = 0; r < grid->rowCount(); ++r)
      out << (grid->item(r, column) ? grid->item(r, column)->text() : "");
    return out;
  }
  void SelectRow(const QString& name) {
    auto* grid = InAdm<QTableWidget>("sgAdm");
    for (int r = 0; r < grid->rowCount(); ++r)
      if (grid->item(r, 0)->text() == name) grid->setCurrentCell(r, 0);
  }
};

TEST_F(AdmWindowTest, TheButtonOpensTheListWithHiddenPasswordsAndASecondClickDestroysIt) {
  QAction* tbAdm = Find<QAction>("tbAdm");
  tbAdm->trigger();
  ASSERT_NE(Adm(), nullptr);
  EXPECT_TRUE(tbAdm->isChecked());
  EXPECT_TRUE(main->ToolWindows().IsOpen(TToolWindow::Administrator));
  EXPECT_EQ(Adm()->windowTitle(), "Administrator");
  EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
  EXPECT_EQ(main->MdiArea()->subWindowList().front()->pos(), QPoint(0, 0));

  auto* sg = InAdm<QTableWidget>("sg");
  EXPECT_TRUE(sg->font().bold());
  EXPECT_EQ(sg->item(0, 0)->text(), "          Login Name");
  EXPECT_EQ(sg->item(0, 1)->text(), "     Password");
  EXPECT_EQ(Column(0), (QStringList{"Administrator", "Ann"}));
  EXPECT_EQ(Column(1), (QStringList{"**********", "**********"}));
  EXPECT_EQ(InAdm<QPushButton>("bbEdit")->text(), "&Add / Edit");
  EXPECT_EQ(InAdm<QPushButton>("bbDel")->text(), " &Delete");
  EXPECT_EQ(InAdm<QPushButton>("bbClose")->text(), "  &Close");
  EXPECT_EQ(InAdm<QLineEdit>("edOld")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(InAdm<QLineEdit>("edNew")->echoMode(), QLineEdit::Password);
  for (auto* secret : {InAdm<QLineEdit>("edOld"), InAdm<QLineEdit>("edNew")})
    EXPECT_EQ(secret->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, secret), '*');

  QPointer<TfAdm> adm = Adm();
  // The menu item shares the button's flag: it closes the window the button opened.
  Find<QAction>("miAdministrator")->trigger();
  EXPECT_FALSE(tbAdm->isChecked());
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::Administrator));
  FlushDeletes();
  EXPECT_TRUE(adm.isNull());
  EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
}

TEST_F(AdmWindowTest, CloseClearsTheOpenFlagAndRaisesTheButton) {
  Find<QAction>("miAdministrator")->trigger();
  QPointer<TfAdm> adm = Adm();
  ASSERT_FALSE(adm.isNull());
  EXPECT_TRUE(Find<QAction>("tbAdm")->isChecked());
  QTest::mouseClick(InAdm<QPushButton>("bbClose"), Qt::LeftButton);
  FlushDeletes();
  EXPECT_TRUE(adm.isNull());
  EXPECT_FALSE(Find<QAction>("tbAdm")->isChecked());
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::Administrator));
  EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
  // And the next click opens a new one.
  Find<QAction>("tbAdm")->trigger();
  EXPECT_NE(Adm(), nullptr);
}

TEST_F(AdmWindowTest, SelectingTheAdministratorRowLocksTheNameField) {
  Find<QAction>("tbAdm")->trigger();
  auto* edName = InAdm<QLineEdit>("edName");
  SelectRow("Ann");
  EXPECT_EQ(edName->text(), "Ann");
  EXPECT_TRUE(edName->isEnabled());
  SelectRow("Administrator");
  EXPECT_EQ(edName->text(), "Administrator");
  EXPECT_FALSE(edName->isEnabled());
  // Column 1 copies nothing but the rule still applies to what the field holds.
  Adm()->sgAdmSelectCell(1, 1);
  EXPECT_EQ(edName->text(), "Administrator");
  EXPECT_FALSE(edName->isEnabled());
}

TEST_F(AdmWindowTest, EnterWalksThroughTheFieldsAndAddsTheLogin) {
  Find<QAction>("tbAdm")->trigger();
  main->activateWindow();
  auto* edName = InAdm<QLineEdit>("edName");
  auto* edOld = InAdm<QLineEdit>("edOld");
  auto* edNew = InAdm<QLineEdit>("edNew");
  edName->setFocus();
  QTest::keyClicks(edName, "Bob");
  QTest::keyClick(edName, Qt::Key_Return);
  EXPECT_TRUE(HasCursor(edOld));
  QTest::keyClicks(edOld, "admin");
  QTest::keyClick(edOld, Qt::Key_Return);
  EXPECT_TRUE(HasCursor(edNew));
  QTest::keyClicks(edNew, "pine");
  QTest::keyClick(edNew, Qt::Key_Return);
  EXPECT_EQ(ui.Texts("information"), std::vector<std::string>{"Add Username Successfully"});
  EXPECT_EQ(Column(0), (QStringList{"Bob", "Administrator", "Ann"}));
  EXPECT_EQ(Column(1).size(), 3);
  EXPECT_TRUE(edName->text().isEmpty() && edOld->text().isEmpty() && edNew->text().isEmpty());
  EXPECT_TRUE(HasCursor(edName));
  ASSERT_TRUE(FindLogin(*dm, "Bob"));
  EXPECT_TRUE(VerifyPassword(FindLogin(*dm, "Bob")->storedPassword, "pine"));
}

TEST_F(AdmWindowTest, TabLeavesTheListForTheNextControlWithoutTouchingTheName) {
  Find<QAction>("tbAdm")->trigger();
  main->activateWindow();
  QApplication::setActiveWindow(main.get());
  auto* grid = InAdm<QTableWidget>("sgAdm");
  SelectRow("Ann");
  grid->setFocus();
  ASSERT_TRUE(HasCursor(grid));
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
    grid->setFocus();
    QTest::keyClick(grid, key);
    EXPECT_FALSE(HasCursor(grid)) << key;
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(InAdm<QLineEdit>("edName")->text(), "Ann");
  }
}

TEST_F(AdmWindowTest, AnOpenListIsRefilledWhenAnotherTerminalAnswers) {
  AddTerminal("1", "1", "Gate A");
  replies["1"] = "KORVO";
  main->BuildTerminalTree();
  Find<QAction>("tbAdm")->trigger();
  AddLogin("Cy", "elm");
  EXPECT_EQ(Column(0).size(), 2);
  auto* tree = Find<QTreeWidget>("tvMachine");
  tree->setCurrentItem(tree->topLevelItem(0));
  main->tvMachineClick();
  EXPECT_TRUE(Column(0).contains("Cy"));
}

}  // namespace
}  // namespace korvo
