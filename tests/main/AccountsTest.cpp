#include <gtest/gtest.h>

#include "support/MainFixture.h"
#include "main/Accounts.h"
#include "main/LoginLookup.h"
#include "store/Password.h"
#include "store/Schema.h"

namespace korvo {
namespace {

class AccountsTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddLogin("Ann", "rose");
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT * FROM tLogins ORDER BY fsLoginName");
    q.Open();
    for (; !q.Eof(); q.Next())
      rows.push_back(q.FieldByName("fsLoginName").AsString() + "|" + q.FieldByName("fsPassword").AsString());
    return rows;
  }
  std::string StoredPassword(const std::string& name) { return FindLogin(*dm, name)->storedPassword; }
  std::function<void()> Refill() {
    return [this] { refills.push_back(ui.calls.size()); };
  }
  std::vector<std::size_t> refills;  // how many operator calls there were at each refill
};

TEST_F(AccountsTest, ANewLoginNeedsTheAdministratorPassword) {
  auto before = Rows();
  EXPECT_EQ(AddOrEditLogin(*dm, "Bob", "wrong", "pine", Refill()), TAccountResult::Refused);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Wrong Administrator Password"});
  EXPECT_EQ(Rows(), before);
  EXPECT_TRUE(refills.empty());

  ui.calls.clear();
  EXPECT_EQ(AddOrEditLogin(*dm, "Bob", kAdministratorInitialPassword, "pine", Refill()),
            TAccountResult::LoginAdded);
  EXPECT_EQ(ui.Texts("information"), std::vector<std::string>{"Add Username Successfully"});
  EXPECT_EQ(refills, std::vector<std::size_t>{0}) << "the list is refilled before the box";
  EXPECT_EQ(LoginNames(*dm), (std::vector<std::string>{"Bob", "Administrator", "Ann"}))
      << "in the order of the scrambled names";
  EXPECT_EQ(LogMessages().back(), "Add new user : Bob.");

  // The name is stored scrambled, the password only as a salted hash.
  auto row = FindLogin(*dm, "Bob");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->storedName, TDM::XorText("Bob", kLoginKey));
  EXPECT_EQ(row->storedPassword.rfind("$argon2", 0), 0u) << row->storedPassword;
  EXPECT_EQ(row->storedPassword.find("pine"), std::string::npos);
  EXPECT_NE(row->storedPassword, TDM::XorText("pine", kLoginKey));
  EXPECT_TRUE(VerifyPassword(row->storedPassword, "pine"));
}

TEST_F(AccountsTest, APasswordChangeNeedsTheOldPassword) {
  EXPECT_EQ(AddOrEditLogin(*dm, "Ann", "tulip", "iris", Refill()), TAccountResult::Refused);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Wrong Old Password"});
  EXPECT_EQ(StoredPassword("Ann"), test::CachedHash("rose"));

  ui.calls.clear();
  EXPECT_EQ(AddOrEditLogin(*dm, "Ann", "rose", "", Refill()), TAccountResult::PasswordChanged);
  EXPECT_EQ(ui.Texts("information"), std::vector<std::string>{"Change Password Successfully"});
  EXPECT_EQ(refills.size(), 1u);
  EXPECT_EQ(LogMessages().back(), "Edit user password : Ann.");
  EXPECT_TRUE(VerifyPassword(StoredPassword("Ann"), "")) << "an empty new password is allowed";
  EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(AccountsTest, DeletingNeedsTheAdministratorPasswordAndAnExactName) {
  EXPECT_EQ(DeleteLogin(*dm, "Administrator", kAdministratorInitialPassword, Refill()),
            TAccountResult::Refused);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"You Can't Delete Administrator"});
  EXPECT_EQ(DeleteLogin(*dm, "Ann", "wrong", Refill()), TAccountResult::Refused);
  EXPECT_EQ(ui.Texts("warning").back(), "Wrong Administrator Password");
  EXPECT_EQ(Rows().size(), 2u);

  ui.calls.clear();
  // "An" would find Ann by the look-up, but deleting takes exact names only; a quote in the name
  // is data, never part of the statement.
  EXPECT_EQ(DeleteLogin(*dm, "An\" OR \"\"=\"", kAdministratorInitialPassword, Refill()),
            TAccountResult::LoginDeleted);
  EXPECT_EQ(ui.Texts("information"), std::vector<std::string>{"Delete Username Successfully"});
  EXPECT_EQ(LogMessages().back(), "Delete username : An\" OR \"\"=\".");
  EXPECT_EQ(Rows().size(), 2u);

  EXPECT_EQ(DeleteLogin(*dm, "Ann", kAdministratorInitialPassword, Refill()), TAccountResult::LoginDeleted);
  EXPECT_EQ(LoginNames(*dm), std::vector<std::string>{"Administrator"});
  EXPECT_EQ(LogMessages().back(), "Delete username : Ann.");
  EXPECT_EQ(refills.size(), 2u);
}

TEST_F(AccountsTest, WithoutAnAdministratorLoginNothingIsAddedOrDeleted) {
  dm->ADOC.Execute("DELETE FROM tLogins WHERE fsLoginName = ?", {ScrambleLoginName("Administrator")});
  EXPECT_EQ(AddOrEditLogin(*dm, "Bob", "x", "y", Refill()), TAccountResult::Nothing);
  EXPECT_EQ(DeleteLogin(*dm, "Ann", "x", Refill()), TAccountResult::Nothing);
  EXPECT_EQ(AddOrEditLogin(*dm, "", "x", "y", Refill()), TAccountResult::Nothing);
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(Rows().size(), 1u);
}

}  // namespace
}  // namespace korvo
