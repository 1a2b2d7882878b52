#pragma once

#include <string>
#include <vector>

#include "tables/TablePages.h"

namespace korvo {

struct TLinkContext;
class TDatabase;
class TSettingsRecord;
class TDM;

// What SEND uses: the link, the database, and the settings for SelectedAddr.
struct TTableJob {
  TLinkContext& Link;
  TDatabase& Db;
  TSettingsRecord& Settings;
};
TTableJob TableJobOf(TDM& dm);

// How SEND makes sure the terminal is the one meant.
enum class TAccessCheck {
  Caption,  // the window's caption must be CurLocation: the main window's version check passed
  Version   // "GETVER" to the target must answer with "KORVO" (the command line)
};

struct TTableSendRequest {
  std::string caption;      // the location the window shows (pTable); named in "Can't access to "
  std::string curLocation;  // CurLocation
  TAccessCheck check = TAccessCheck::Caption;
};

enum class TTableSendResult { Done, Refused, NotTaken };
struct TTableSendReport {
  TTableSendResult result = TTableSendResult::Refused;
  std::string target;                // the terminal uploaded to
  std::vector<std::string> records;  // the records as sent, in order (ID <=> Card: the list lines)
  bool timeTablesChanged = false;    // Access: fmTimeTbl is no longer what it was
};

extern const char* const kJobComplete;
extern const char* const kTimeTablesChanged;
extern const char* const kLoadNotTaken;

// The texts that replace a terminal file: lock and delete, load, one text per record, "*" and unlock.
std::vector<std::string> FileUploadTexts(const std::string& path, const std::vector<std::string>& records,
                                         bool loadWithCr = true);
// The terminal answered a text of an upload after the delete (the load line, a record, the closing "*")
// with a failure or not at all: the file it holds is not the one sent. A terminal that restarts in the
// middle keeps only the records before the restart and answers the rest as unknown commands, if at all.
bool LoadNotTaken(const std::string& reply);

// The Access page's time tables are those of its ticked levels: every time-table row is unticked,
// then each ticked level, as stored in tAccess, ticks the rows its list names.
void TickTimeTablesOfTickedLevels(TDatabase& db, TTablePageModel& model);

// The lines SEND stores in the page's list field (the Access page: fmAccess), from the ticked rows.
std::vector<std::string> PageListLines(const TTablePageModel& model);
// The Access page's fmTimeTbl: the codes of the ticked time tables, in row order.
std::vector<std::string> TimeTableListLines(const TTablePageModel& model);
// The file records built from the list lines, in the order they are sent (sorted where the page
// says so). The Access page builds them from its ticked time tables. Card digits matter for the
// Message page only.
std::vector<std::string> PageFileRecords(const TTablePageModel& model,
                                         const std::vector<std::string>& listLines, int cardDigits);
// The command texts of the upload, one SendCommand each, in order.
std::vector<std::string> UploadCommandTexts(TTablePage page, const std::vector<std::string>& records);

// SEND of every page but Biometrics (whose SEND moves templates): card digits read from
// SelectedAddr, the access check, on a list page SelectedAddr := ListAddr (the model's terminal),
// the list stored, then the terminal file replaced, with the progress meter, "Job Complete." and,
// when an Access SEND changed the terminal's time tables, a warning that its access group must be
// sent again. Refused with a warning: an empty SelectedAddr or one that no terminal row has (nothing
// sent), the failed access check (only "PAR 7" sent), a line holding "|" or a control character
// (nothing stored). Link and database errors are raised where they happen.
TTableSendReport SendTablePage(const TTableJob& job, TTablePageModel& model,
                               const TTableSendRequest& request);

}  // namespace korvo
