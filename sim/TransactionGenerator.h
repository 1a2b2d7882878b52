#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Civil.h"

namespace korvosim {

class Terminal;

struct TransactionPlan {
  int records = 100;
  int days = 1;
  // Digits of the card numbers; 0 takes the terminal's parameter 7.
  int cardDigits = 0;
  int cardholders = 20;
  unsigned seed = 1;
  // The last day with transactions; the terminal's clock date when not given.
  std::optional<CivilTime> lastDay;
};

// One transaction line as a terminal keeps it: card field of 9, hhnnss, direction flag, event flag of two
// characters and the function code.
std::string transactionLine(const std::string& card, int hour, int minute, int second, char direction,
                            const std::string& event, const std::string& function = "00");
// "DDMMYY.DAT" of a date.
std::string transactionFileName(const CivilTime& day);

// Lines for `plan.days` days ending on the last day, spread evenly over the days, in time order within each
// day: cards from a fixed set of cardholders, "I" in the morning and "O" later in the day, event flag mostly
// "00" and otherwise "01" to "09", function code "00". Same plan, same lines.
std::vector<std::pair<std::string, std::vector<std::string>>> makeTransactions(const TransactionPlan& plan,
                                                                               const CivilTime& lastDay,
                                                                               int cardDigits);
// Writes the files into the terminal's TRANS folder (adding to files of the same day) and returns how many
// lines were written.
int generateTransactions(Terminal& terminal, const TransactionPlan& plan);

}  // namespace korvosim
