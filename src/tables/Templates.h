#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvo {

struct TLinkContext;
class TDatabase;
class TDM;

// Fingerprint templates between the database and a network terminal: SEND puts cardholders'
// templates into the terminal, Get copies the terminal's into the database, Remove deletes them from
// the terminal. The terminal is reached through SendNetCommand only. Link and database errors (a
// refused connection, the engine's) end a job where they happen and are raised to the caller.

// Get of every template stopped on a template count that is no number: nothing was locked or changed.
class TTemplateCountError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the template jobs use.
struct TTemplateJob {
  TLinkContext& Link;
  TDatabase& Db;
};
TTemplateJob TemplateJobOf(TDM& dm);

enum class TTemplateOutcome {
  Done,
  Refused,   // nothing was sent: the address is empty, no terminal's, or not a network terminal
  NoAccess,  // the window shows another terminal than the one that answered: "Can't access to "
  RanOut,    // Get: the template table did not come whole; the database is unchanged
  Stopped,   // a stop was asked for: the terminal was unlocked, see each job for the database
};

// The Biometrics page of the Tables window around a job. Empty functions do nothing.
struct TBioPage {
  // The location the window shows (pTable) and the one of the terminal that last answered the main
  // window's check (CurLocation); SEND and Get refuse to go on when they differ.
  std::string caption;
  std::string curLocation;
  // SEND makes the page's terminal the selected one (SelectedAddr := ListAddr).
  std::function<void(const std::string& address)> Select;
  // ListAddr := address, and the Biometrics list reloaded for it.
  std::function<void(const std::string& address)> ShowList;
};

struct TTemplateSendReport {
  TTemplateOutcome outcome = TTemplateOutcome::Done;
  std::string refusal;               // the warning shown for Refused and NoAccess
  std::vector<std::string> stored;   // the terminal took their templates
  std::vector<std::string> failed;   // refused, or their text is no hexadecimal: left out of the list
  std::vector<std::string> garbled;  // of the failed, those whose text is no hexadecimal: nothing sent
  std::vector<std::string> empty;    // no template: nothing sent, still listed
  std::vector<std::string> list;     // fmBioUsrLst as stored
};
// SEND of the ticked cards to the terminal `listAddr`; card digits are read first from `selectedAddr`,
// the terminal chosen in the main window. For each card, sorted: "DELTEMP", then "TMPSAVE" and the
// template bytes, once or (a text of more than 800 characters) twice; every text is decoded before
// "LOCKSYS". The terminal's fmBioUsrLst becomes the sent cards and the cards listed before, without the
// failed ones, sorted. Ends with the list shown again and "Job Complete.". A stop skips the cards not
// yet sent; those sent are listed.
TTemplateSendReport SendTemplates(const TTemplateJob& job, const std::string& selectedAddr,
                                  const std::string& listAddr, const std::vector<std::string>& cards,
                                  const TBioPage& page);

struct TTemplateGetReport {
  TTemplateOutcome outcome = TTemplateOutcome::Done;
  std::string refusal;
  bool all = false;                   // no ticked card had a template: every template was fetched
  std::vector<std::string> stored;    // their fmBioData was written
  std::vector<std::string> inserted;  // of the stored, the cardholders created for unknown cards
  std::vector<std::string> missed;    // a template did not arrive: fmBioData kept as it was
  std::vector<std::string> list;      // fmBioUsrLst as stored
};
// Get for the terminal `address` (SelectedAddr). The ticked cards, in row order, are asked with
// "CHKTEMP" which finger to fetch; when none gives one, every template the terminal lists is fetched,
// unknown cards become cardholders "-" with PIN "000000", and fmBioUsrLst becomes the cards found. A
// template text is stored only when all of its card's templates arrived whole. ShowList gets the
// address at the end, also when an error ends the job (it is raised again) — not after a refusal. A
// stop sends "UNLOCKSYS" and changes nothing.
TTemplateGetReport GetTemplates(const TTemplateJob& job, const std::string& address,
                                const std::vector<std::string>& cards, const TBioPage& page);

struct TTemplateRemoveReport {
  TTemplateOutcome outcome = TTemplateOutcome::Done;
  std::string refusal;
  std::vector<std::string> removed;  // "DELTEMP" went out for them
  std::vector<std::string> list;     // fmBioUsrLst as stored
};
// Remove of the ticked cards from the terminal `address` (SelectedAddr): "DELTEMP" for each, sorted,
// between "LOCKSYS" and "UNLOCKSYS"; their lines of fmBioUsrLst become empty lines. No location check
// and no closing message; cardholders' templates stay. A stop lists only the cards removed.
TTemplateRemoveReport RemoveTemplates(const TTemplateJob& job, const std::string& address,
                                      const std::vector<std::string>& cards, const TBioPage& page);

}  // namespace korvo
