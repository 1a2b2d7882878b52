#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "Terminal.h"
#include "TransactionGenerator.h"

using namespace korvosim;

namespace {

bool digits(const std::string& s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

TEST(TransactionGeneratorTest, RecordsSpreadOverDaysInTheTerminalLineLayout) {
  Terminal terminal;
  terminal.setClock({2024, 3, 2, 10, 0, 0});
  TransactionPlan plan;
  plan.records = 50;
  plan.days = 3;
  EXPECT_EQ(generateTransactions(terminal, plan), 50);
  // Two days back from the clock's date, across the end of February of a leap year.
  EXPECT_EQ(terminal.files("TRANS"), (std::vector<std::string>{"010324.DAT", "020324.DAT", "290224.DAT"}));
  std::size_t total = 0;
  for (const auto& name : terminal.files("TRANS")) {
    const auto lines = terminal.file("TRANS\\" + name);
    total += lines.size();
    EXPECT_GE(lines.size(), 16u);
    std::string previous;
    for (const auto& l : lines) {
      ASSERT_EQ(l.size(), 20u) << l;
      const std::string card = l.substr(0, 9), time = l.substr(9, 6), event = l.substr(16, 2);
      EXPECT_TRUE(digits(card));
      EXPECT_EQ(card.substr(0, 3), "000");  // parameter 7 is 6: six digits in a field of nine
      EXPECT_TRUE(digits(time));
      EXPECT_LT(std::stoi(time.substr(0, 2)), 24);
      EXPECT_LT(std::stoi(time.substr(2, 2)), 60);
      EXPECT_TRUE(l[15] == 'I' || l[15] == 'O');
      EXPECT_TRUE(event[0] == '0' && std::isdigit(static_cast<unsigned char>(event[1])));
      EXPECT_EQ(l.substr(18), "00");
      EXPECT_LE(previous, time);
      previous = time;
    }
  }
  EXPECT_EQ(total, 50u);
}

TEST(TransactionGeneratorTest, SamePlanSameLinesAndCardDigitsFollowTheOption) {
  TransactionPlan plan;
  plan.records = 10;
  plan.cardDigits = 8;
  const CivilTime day{2024, 12, 24, 0, 0, 0};
  const auto a = makeTransactions(plan, day, 8);
  EXPECT_EQ(a, makeTransactions(plan, day, 8));
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].first, "241224.DAT");
  EXPECT_EQ(a[0].second[0].substr(0, 1), "0");
  EXPECT_EQ(transactionLine("408173", 15, 30, 1, 'I', "05"), "000408173153001I0500");
}

}  // namespace
