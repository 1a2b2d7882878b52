#include <gtest/gtest.h>

#include "cli/VisibleText.h"

namespace korvo {
namespace {

TEST(VisibleText, LineEndsAndControlBytesAreShown) {
  EXPECT_EQ(VisibleText("KORVO2K OK\r"), "KORVO2K OK<CR>\n");
  EXPECT_EQ(VisibleText("Hello\r\nWorld\r\n*\r"), "Hello<CR><LF>\nWorld<CR><LF>\n*<CR>\n");
  EXPECT_EQ(VisibleText(std::string("a\x01\x7f\0b", 5)), "a<01><7F><00>b\n");
  EXPECT_EQ(VisibleText(""), "\n");
}

TEST(VisibleText, BackslashRInArgumentsSeparatesCommandLines) {
  const std::vector<std::string> args = {"LOCKSYS\\rDELFILE", "SYSTEM\\HOLITBL.DAT\\r"};
  EXPECT_EQ(CommandTextFromArgs(args.data(), args.data() + args.size()),
            "LOCKSYS\rDELFILE SYSTEM\\HOLITBL.DAT\r");
  const std::vector<std::string> one = {"TYPE", "TRANS\\010124.DAT"};
  EXPECT_EQ(CommandTextFromArgs(one.data(), one.data() + one.size()), "TYPE TRANS\\010124.DAT");
}

}  // namespace
}  // namespace korvo
