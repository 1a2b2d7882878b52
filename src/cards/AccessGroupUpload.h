#pragma once

#include <string>
#include <vector>

#include "cards/CardPage.h"
#include "tables/TableUpload.h"

namespace korvo {

inline constexpr const char* kAccessGroupFile = "SYSTEM\\AXGROUP.DAT";

// The entries Send makes the terminal's access group, from the ticked rows in list order: the first
// working entry of the card unchanged, or one built from the levels and PIN the row shows (relay 0).
// Raises std::invalid_argument for a PIN that is not a number and TMaskTooWide for a level whose
// mask does not fit.
std::vector<TAccessEntry> AccessGroupSendList(const TCardPage& page);

struct TCardSendRequest {
  std::string caption;      // the location the window shows (pCard)
  std::string curLocation;  // CurLocation
};
struct TCardSendReport {
  TTableSendResult result = TTableSendResult::Refused;
  std::vector<std::string> records;  // as sent, in order
};

// Send: the check that the main window's terminal answered, the send list, fmAxGroup of SelectedAddr
// stored, parameter 22, then SYSTEM\AXGROUP.DAT replaced, with the meter and "Job Complete.", or a
// warning when the terminal did not take the load. Refused before anything is stored or sent: an
// empty SelectedAddr, the failed check, a PIN that is not a number (error box), a mask that does not
// fit. Link and database errors are raised where they happen.
TCardSendReport SendAccessGroup(const TTableJob& job, const TCardPage& page, const TCardSendRequest& request);

}  // namespace korvo
