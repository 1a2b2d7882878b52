#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "link/LinkErrors.h"
#include "link/SerialFrame.h"
#include "link/TerminalRow.h"

namespace korvo {
namespace {

TEST(BusAddress, OnlyDecimalIntegersAreBusAddresses) {
  struct TCase {
    const char* text;
    bool valid;
    int value;
  };
  const TCase cases[] = {
      {"1", true, 1},
      {"255", true, 255},
      {"+7", true, 7},
      {"-3", true, -3},
      {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},
      {"9999999999", false, 0},
      {"12345678901", false, 0},
      {"9999999999999999999", false, 0},  // nineteen digits: once overflowed the sum
      {"-9223372036854775808", false, 0},
      {"99999999999999999999999999999999", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"1a", false, 0},
      {"1@2", false, 0},
  };
  for (const auto& c : cases) {
    if (c.valid) {
      EXPECT_EQ(BusAddressOf(c.text), c.value) << c.text;
    } else {
      try {
        BusAddressOf(c.text);
        ADD_FAILURE() << c.text << " was taken as a bus address";
      } catch (const TConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(c.text) + "' is not a valid integer value");
      }
    }
  }
}

TEST(TerminalRow, PortsOutsideTheirRangeAreRefusedNamingTheTerminal) {
  struct TCase {
    const char* fsAddr;
    std::int64_t fnPort;
    bool valid;
  };
  const TCase cases[] = {
      {"1", 1, true},
      {"1", INT_MAX, true},
      {"1", INT_MIN, true},
      {"1", 4294967297, false},  // a narrowing cast made this COM1
      {"1", std::int64_t{INT_MAX} + 1, false},
      {"1", std::int64_t{INT_MIN} - 1, false},
      {"5551234-9600", 3, true},
      {"5551234-9600", 4294967299, false},
      {"192.168.1.5", 1, true},
      {"192.168.1.5", 65535, true},
      {"192.168.1.5@42", 4370, true},
      {"192.168.1.5", 0, false},
      {"192.168.1.5", -1, false},
      {"192.168.1.5", 65536, false},
      {"192.168.1.5", 4294967297, false},
  };
  for (const auto& c : cases) {
    if (c.valid) {
      const TTerminalRow row = CheckedTerminalRow(c.fsAddr, "Gate A", c.fnPort);
      EXPECT_EQ(row.fnPort, c.fnPort) << c.fsAddr;
      EXPECT_EQ(row.fsAddr, c.fsAddr);
      EXPECT_EQ(TerminalLabel(row), "Gate A [" + std::string(c.fsAddr) + "]");
    } else {
      try {
        CheckedTerminalRow(c.fsAddr, "Gate A", c.fnPort);
        ADD_FAILURE() << c.fsAddr << " kept the port " << c.fnPort;
      } catch (const TTerminalPortError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("The terminal Gate A [" + std::string(c.fsAddr) + "] has the port " +
                                 std::to_string(c.fnPort) + ", which is out of range",
                             0),
                  0u)
            << text;
      }
    }
  }
}

}  // namespace
}  // namespace korvo
