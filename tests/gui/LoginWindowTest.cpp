#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "GuiFixture.h"
#include "main/ui/Login.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

class LoginWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    AddLogin("Ann", "rose");
    dm->Settings.SetLastLogin("Ann");
  }
  // Runs `steps` on the dialog once it is up, then lets exec() return.
  void WhenShown(std::function<void(QDialog*)> steps) {
    QTimer::singleShot(0, [steps] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      steps(dialog);
    });
  }
};

TEST_F(LoginWindowTest, TheLastNameIsOfferedAndEnterLogsIn) {
  int ended = 0;
  TfLogin login(*dm, [&] { ++ended; });
  EXPECT_EQ(login.windowTitle(), "Login");
  EXPECT_FALSE(login.windowFlags() & Qt::WindowCloseButtonHint);
  WhenShown([](QDialog* d) {
    auto* edName = d->findChild<QLineEdit*>("edName");
    auto* edPass = d->findChild<QLineEdit*>("edPass");
    EXPECT_EQ(edName->text(), "Ann");
    EXPECT_EQ(edName->maxLength(), 15);
    EXPECT_EQ(edPass->maxLength(), 15);
    EXPECT_EQ(edPass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edPass->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edPass), '*');
    EXPECT_TRUE(HasCursor(edPass));
    QTest::keyClick(edName, Qt::Key_Return);
    EXPECT_TRUE(HasCursor(edPass));
    QTest::keyClicks(edPass, "rose");
    QTest::keyClick(edPass, Qt::Key_Return);
  });
  EXPECT_EQ(login.exec(), QDialog::Accepted);
  EXPECT_EQ(ended, 0);
  EXPECT_EQ(LogMessages().back(), "Login : Ann.");
}

TEST_F(LoginWindowTest, TwoWrongPasswordsAndAnUnknownNameEndTheProgram) {
  int ended = 0;
  TfLogin login(*dm, [&] { ++ended; });
  WhenShown([&ended](QDialog* d) {
    auto* edName = d->findChild<QLineEdit*>("edName");
    auto* edPass = d->findChild<QLineEdit*>("edPass");
    auto* ok = d->findChild<QPushButton*>("bbOK");
    edPass->setText("tulip");
    ok->click();
    EXPECT_TRUE(edPass->text().isEmpty());
    EXPECT_EQ(edName->text(), "Ann");
    edPass->setText("daisy");
    ok->click();
    EXPECT_EQ(ended, 0);
    edName->setText("Zed");
    edPass->setText("rose");
    ok->click();
  });
  EXPECT_EQ(login.exec(), QDialog::Rejected);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(ui.Texts("warning"),
            (std::vector<std::string>{"Wrong Password", "Wrong Password", "Unknown Username"}));
}

TEST_F(LoginWindowTest, AnUnknownNameClearsBothFieldsAndCancelEndsTheProgram) {
  int ended = 0;
  TfLogin login(*dm, [&] { ++ended; });
  WhenShown([](QDialog* d) {
    auto* edName = d->findChild<QLineEdit*>("edName");
    auto* edPass = d->findChild<QLineEdit*>("edPass");
    edName->setText("Zed");
    edPass->setText("x");
    d->findChild<QPushButton*>("bbOK")->click();
    EXPECT_TRUE(edName->text().isEmpty() && edPass->text().isEmpty());
    EXPECT_TRUE(test::TGuiFixture::HasCursor(edName));
    d->findChild<QPushButton*>("bbCancel")->click();
  });
  EXPECT_EQ(login.exec(), QDialog::Rejected);
  EXPECT_EQ(ended, 1);
}

TEST_F(LoginWindowTest, StartUpAsksForTheLoginWhenPasswordsAreRequired) {
  dm->Settings.SetPasswordRequired(true);
  TfMain& m = NewMain();
  WhenShown([](QDialog* d) { d->findChild<QPushButton*>("bbCancel")->click(); });
  EXPECT_FALSE(m.FormCreate());

  WhenShown([](QDialog* d) {
    d->findChild<QLineEdit*>("edPass")->setText("rose");
    d->findChild<QPushButton*>("bbOK")->click();
  });
  EXPECT_TRUE(m.FormCreate());

  // With immediate loading on there is no login at all.
  dm->Settings.SetImmediateLoading(true);
  EXPECT_TRUE(m.FormCreate());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace korvo
