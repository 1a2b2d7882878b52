#include "TransactionGenerator.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "Terminal.h"

namespace korvosim {

std::string transactionLine(const std::string& card, int hour, int minute, int second, char direction,
                            const std::string& event, const std::string& function) {
  std::string field = card;
  if (field.size() < 9) field.insert(0, 9 - field.size(), '0');
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02d", hour, minute, second);
  return field + time + direction + event + function;
}

std::string transactionFileName(const CivilTime& day) {
  char name[16];
  std::snprintf(name, sizeof name, "%02d%02d%02d.DAT", day.day, day.month, day.year % 100);
  return name;
}

std::vector<std::pair<std::string, std::vector<std::string>>> makeTransactions(const TransactionPlan& plan,
                                                                               const CivilTime& lastDay,
                                                                               int cardDigits) {
  std::vector<std::pair<std::string, std::vector<std::string>>> files;
  const int days = std::max(1, plan.days);
  const int digits = std::clamp(cardDigits, 1, 9);
  std::mt19937 rng(plan.seed);
  std::vector<std::string> cards;
  std::uniform_int_distribution<long long> cardDist(1, [&] {
    long long m = 1;
    for (int i = 0; i < digits; ++i) m *= 10;
    return m - 1;
  }());
  for (int i = 0; i < std::max(1, plan.cardholders); ++i) {
    std::string c = std::to_string(cardDist(rng));
    if (static_cast<int>(c.size()) < digits) c.insert(0, static_cast<std::size_t>(digits) - c.size(), '0');
    cards.push_back(c);
  }
  const auto lastDays = daysFromCivil(lastDay.year, lastDay.month, lastDay.day);
  std::uniform_int_distribution<int> second(7 * 3600, 19 * 3600 - 1);
  std::uniform_int_distribution<std::size_t> pick(0, cards.size() - 1);
  std::uniform_int_distribution<int> eventDist(0, 19);
  for (int d = 0; d < days; ++d) {
    const int count = plan.records / days + (d < plan.records % days ? 1 : 0);
    const CivilTime day = civilFromSeconds((lastDays - (days - 1 - d)) * 86400);
    std::vector<int> times;
    for (int i = 0; i < count; ++i) times.push_back(second(rng));
    std::sort(times.begin(), times.end());
    std::vector<std::string> lines;
    for (int s : times) {
      const int e = eventDist(rng);
      const std::string event = e <= 10 ? "00" : "0" + std::to_string(e - 10);
      lines.push_back(
          transactionLine(cards[pick(rng)], s / 3600, s / 60 % 60, s % 60, s < 13 * 3600 ? 'I' : 'O', event));
    }
    if (!lines.empty()) files.emplace_back(transactionFileName(day), std::move(lines));
  }
  return files;
}

int generateTransactions(Terminal& terminal, const TransactionPlan& plan) {
  int digits = plan.cardDigits;
  if (digits <= 0) {
    try {
      digits = std::stoi(terminal.param(7));
    } catch (...) {
      digits = 6;
    }
  }
  const CivilTime last = plan.lastDay ? *plan.lastDay : terminal.clock();
  int written = 0;
  for (auto& [name, lines] : makeTransactions(plan, last, digits)) {
    const std::string path = "TRANS\\" + name;
    auto records = terminal.file(path);
    records.insert(records.end(), lines.begin(), lines.end());
    written += static_cast<int>(lines.size());
    terminal.setFile(path, std::move(records));
  }
  return written;
}

}  // namespace korvosim
