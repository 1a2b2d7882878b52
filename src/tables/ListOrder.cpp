#include "tables/ListOrder.h"

#include <algorithm>
#include <map>
#include <string>

#include "tables/RowTexts.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

template <class T, class F>
void SortByText(std::vector<TTicked<T>>& rows, F text) {
  std::stable_sort(rows.begin(), rows.end(), [&](const TTicked<T>& a, const TTicked<T>& b) {
    return LessNoCase(text(a.row), text(b.row));
  });
}

}  // namespace

void TCardSort::Click(TCardColumn clicked) {
  if (clicked == column)
    descending = !descending;
  else
    column = clicked;
}

void SortCardRows(std::vector<TTicked<TCardRow>>& rows, const TCardSort& sort) {
  auto key = [&](const TTicked<TCardRow>& r) -> const std::string& {
    return sort.column == TCardColumn::Card ? r.row.card : r.row.name;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const TTicked<TCardRow>& a, const TTicked<TCardRow>& b) {
    return sort.descending ? LessNoCase(key(b), key(a)) : LessNoCase(key(a), key(b));
  });
}

void SortRowsByText(TTablePageModel& m) {
  switch (m.page) {
    case TTablePage::Message:
      SortByText(m.cards, MessageRowText);
      break;
    case TTablePage::IDCard:
      SortByText(m.cards, IDCardRowText);
      break;
    case TTablePage::Expired:
      SortByText(m.expiries, ExpiryRowText);
      break;
    default:
      break;
  }
}

void KeepShownTicks(TTablePageModel& fresh, const TTablePageModel& shown) {
  if (fresh.page == TTablePage::Expired) {
    std::map<std::string, bool> ticks;
    for (const auto& e : shown.expiries) ticks.emplace(e.row.card, e.ticked);
    for (auto& e : fresh.expiries)
      if (auto it = ticks.find(e.row.card); it != ticks.end()) e.ticked = it->second;
    return;
  }
  const bool byId = fresh.page == TTablePage::IDCard;
  auto key = [byId](const TCardRow& row) { return byId ? row.idNo : row.card; };
  std::map<std::string, const TTicked<TCardRow>*> rows;
  for (const auto& c : shown.cards) rows.emplace(key(c.row), &c);
  for (auto& c : fresh.cards) {
    auto it = rows.find(key(c.row));
    if (it == rows.end()) continue;
    c.ticked = it->second->ticked;
    if (fresh.page == TTablePage::Message) c.row.message = it->second->row.message;
  }
  if (byId)
    std::stable_sort(
        fresh.cards.begin(), fresh.cards.end(),
        [](const TTicked<TCardRow>& a, const TTicked<TCardRow>& b) { return a.row.card < b.row.card; });
}

}  // namespace korvo
