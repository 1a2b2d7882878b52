#pragma once

#include <vector>

#include "tables/TablePages.h"

namespace korvo {

// The columns of the cardholder list views (Blacklist, Special, Biometrics, Admin).
enum class TCardColumn { Card, Name };

// The order of the cardholder list views: one state for all four, kept as long as the program runs.
struct TCardSort {
  TCardColumn column = TCardColumn::Card;
  bool descending = true;
  // A click on a column's header: the sort column flips its direction; another column becomes the
  // sort column and keeps the direction.
  void Click(TCardColumn clicked);
};

// The rows by card number or name, letter case ignored; rows that compare equal keep their order.
void SortCardRows(std::vector<TTicked<TCardRow>>& rows, const TCardSort& sort);

// The Message, ID <=> Card and Expired check lists by their row texts, letter case ignored.
void SortRowsByText(TTablePageModel& model);

// The rows of a page as read again from the database (`fresh`) keep what the operator did to the
// rows shown: Message rows their ticks and messages by card number, ID <=> Card rows their ticks by
// ID number, Expired rows their ticks by card number. ID <=> Card rows come by card number.
void KeepShownTicks(TTablePageModel& fresh, const TTablePageModel& shown);

}  // namespace korvo
