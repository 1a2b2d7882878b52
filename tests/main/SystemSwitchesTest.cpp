#include <gtest/gtest.h>

#include "support/MainFixture.h"
#include "main/SystemSwitches.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

class SystemSwitchesTest : public test::TMainFixture {};

TEST_F(SystemSwitchesTest, EachSwitchRewritesTheWholeSettingsFileAndLogsTheNewState) {
  // Fields changed in memory since the start reach the file with the switch.
  dm->Settings.SetCurAddr("7");
  dm->Settings.SetCurLocation("Gate C");
  std::string before = SettingsBytes();

  EXPECT_TRUE(TogglePasswordRequired(*dm));
  std::string after = SettingsBytes();
  ASSERT_EQ(after.size(), 356u);
  EXPECT_EQ(after.substr(0, 2),
            "\x01"
            "7");
  EXPECT_EQ(after.substr(157, 7),
            "\x06"
            "Gate C");
  EXPECT_EQ(after[232], '\x01');
  EXPECT_EQ(after[233], '\x00');
  for (std::size_t i : {std::size_t{0}, std::size_t{1}, std::size_t{157}, std::size_t{158}, std::size_t{232}})
    before[i] = after[i];
  for (std::size_t i = 159; i < 164; ++i) before[i] = after[i];
  EXPECT_EQ(before, after) << "nothing else of the record changes";

  EXPECT_TRUE(ToggleImmediateLoading(*dm));
  EXPECT_EQ(SettingsBytes()[233], '\x01');
  EXPECT_FALSE(ToggleImmediateLoading(*dm));
  EXPECT_FALSE(TogglePasswordRequired(*dm));
  after = SettingsBytes();
  EXPECT_EQ(after[232], '\x00');
  EXPECT_EQ(after[233], '\x00');

  auto log = LogMessages();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(
      std::vector<std::string>(log.end() - 4, log.end()),
      (std::vector<std::string>{
          "Edit System : Password Required = True.", "Edit System : Immediate Data Loading = True.",
          "Edit System : Immediate Data Loading = False.", "Edit System : Password Required = False."}));
}

}  // namespace
}  // namespace korvo
