#include <gtest/gtest.h>

#include "support/MainFixture.h"
#include "main/LoginLookup.h"
#include "main/LoginSession.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

class LoginTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddLogin("Ann", "rose");
    AddLogin("Annabel", "lily");
  }
};

TEST_F(LoginTest, ATypedNameIsMatchedAsAPrefixOfTheStoredNames) {
  ASSERT_TRUE(FindLogin(*dm, "Ann"));
  EXPECT_EQ(FindLogin(*dm, "Ann")->storedName, ScrambleLoginName("Ann"));
  EXPECT_EQ(FindLogin(*dm, "An")->storedName, ScrambleLoginName("Ann"));
  EXPECT_EQ(FindLogin(*dm, "Annab")->storedName, ScrambleLoginName("Annabel"));
  EXPECT_EQ(FindLogin(*dm, "Adm")->storedName, ScrambleLoginName("Administrator"));
  EXPECT_FALSE(FindLogin(*dm, "Bob"));
  EXPECT_FALSE(FindLogin(*dm, "ann")) << "names keep their letter case";
}

TEST_F(LoginTest, APrefixLogsInAsTheFirstMatchingLoginAndIsRemembered) {
  TLoginSession session(*dm);
  EXPECT_EQ(session.Activate(), "VELNARI");
  EXPECT_TRUE(dm->AdmQry.Active());
  EXPECT_EQ(session.Login("", "rose"), TLoginResult::Nothing);
  EXPECT_EQ(session.Login("An", "rose"), TLoginResult::LoggedIn);
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(LogMessages().back(), "Login : An.");
  // LastLogin is saved at once and pre-fills the dialog next time.
  EXPECT_EQ(SettingsBytes().substr(216, 3),
            "\x02"
            "An");
  EXPECT_EQ(session.Activate(), "An");
}

TEST_F(LoginTest, TheThirdFailureSinceActivationEndsTheProgram) {
  TLoginSession session(*dm);
  session.Activate();
  EXPECT_EQ(session.Login("Ann", "tulip"), TLoginResult::WrongPassword);
  EXPECT_EQ(session.Login("Ann", "daisy"), TLoginResult::WrongPassword);
  EXPECT_EQ(session.Login("Zed", "rose"), TLoginResult::ProgramEnds);
  EXPECT_EQ(ui.Texts("warning"),
            (std::vector<std::string>{"Wrong Password", "Wrong Password", "Unknown Username"}));
  EXPECT_NE(LogMessages().back(), "Login : Ann.");

  session.Activate();
  EXPECT_EQ(session.Login("Zed", "x"), TLoginResult::UnknownName) << "activation starts the count again";
  EXPECT_EQ(session.Login("Ann", "rose"), TLoginResult::LoggedIn);
  EXPECT_EQ(LogMessages().back(), "Login : Ann.");
}

TEST_F(LoginTest, ANameLongerThanTheFieldIsCutInTheSettings) {
  AddLogin("Bartholomew-Smith", "oak");
  TLoginSession session(*dm);
  session.Activate();
  ASSERT_EQ(session.Login("Bartholomew-Smith", "oak"), TLoginResult::LoggedIn);
  EXPECT_EQ(dm->Settings.LastLogin(), "Bartholomew-Smi");
  EXPECT_EQ(LogMessages().back(), "Login : Bartholomew-Smith.");
}

}  // namespace
}  // namespace korvo
