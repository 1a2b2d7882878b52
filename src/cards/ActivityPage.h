#pragma once

#include <string>
#include <vector>

#include "cards/ActivityExport.h"
#include "cards/ActivityQuery.h"

namespace korvo {

class TDatabase;

// The choices of the page's event and location lists: "None" first, then every event display in
// event flag order, and every terminal location in address order.
struct TActivityChoices {
  std::vector<std::string> events, locations;
};
TActivityChoices ActivityChoices(TDatabase& db);

// The digits of a time field shown as "YYYY/MM/DD hh:nn:ss": all 14 only when it is filled whole.
std::string TimeFieldDigits(const std::string& shown);

// The run a click on a column title makes: the card and time ranges of the fields, nothing else of
// them, ordered by the column's field.
TActivityRun SortRun(const TActivityFilter& fields, int column);

// The run a save writes: the list as last run. The attendance table takes its terminal from the
// location list as it stands, whatever the list last run was.
TActivityRun SaveRun(const TActivityRun& lastRun, TActivitySaveType type, const std::string& location);

// The save dialog's filters as names with their patterns, in the order SaveTypeOfFilter counts.
std::vector<std::string> ActivitySaveFilterNames();

// The question asked before a delete: a delete cannot be undone, and one range may hold a million rows.
std::string DeleteQuestion(int count);

// The reload may write the output file unless the output is switched off ("NONE" in any case).
bool ReloadOutputOffered(const std::string& outputFileName);

}  // namespace korvo
