#include <gtest/gtest.h>

#include <stdexcept>

#include "CommandLine.h"

using namespace korvosim;

TEST(CommandLineTest, ReadsFrontEndsAndTheirOptions) {
  const auto c = parseCommandLine({"--serial",
                                   "--addr",
                                   "1,2",
                                   "--framed-only",
                                   "--logon",
                                   "77",
                                   "--throttle",
                                   "11520",
                                   "--records",
                                   "40",
                                   "--tcp",
                                   "0,2323",
                                   "--push",
                                   "localhost:8010",
                                   "--rate",
                                   "2.5",
                                   "--count",
                                   "7",
                                   "--refuse-template",
                                   "1234",
                                   "--refuse-template",
                                   "77"});
  EXPECT_TRUE(c.serial);
  EXPECT_EQ(c.addresses, (std::vector<int>{1, 2}));
  EXPECT_TRUE(c.framedOnly);
  EXPECT_EQ(c.logon, "77");
  EXPECT_EQ(c.throttleBps, 11520);
  EXPECT_EQ(c.records, 40);
  EXPECT_EQ(c.tcpPorts, (std::vector<int>{0, 2323}));
  EXPECT_EQ(*c.pushHost, "localhost");
  EXPECT_EQ(c.pushPort, 8010);
  EXPECT_DOUBLE_EQ(c.rate, 2.5);
  EXPECT_EQ(c.count, 7);
  EXPECT_EQ(c.refusedTemplateCards, (std::vector<std::string>{"1234", "77"}));
}

TEST(CommandLineTest, RefusesWhatItCannotRun) {
  EXPECT_THROW(parseCommandLine({}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--serial", "--addr", "256"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--serial", "--framed-only", "--plain-only"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--tcp"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--push", "nowhere"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--modem", "--dial", "maybe"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--serial", "--bogus"}), std::invalid_argument);
  EXPECT_TRUE(parseCommandLine({"--help"}).help);
}
