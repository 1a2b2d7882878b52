#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace korvo {

class TDatabase;
class TOperatorUi;
struct TSysParam;

// The output types the setup offers, in the order of its list.
inline constexpr std::array<const char*, 3> kOutputTypes{"TXT", "DBF", "XDBF"};

// Whether the terminal number and the date may name the output file. Only text output uses them:
// both dBase layouts write at exactly the name given.
bool NameOptionsApply(const std::string& outputType);

// The filters of the save dialog for the output file, first filter first.
std::vector<std::string> OutputFileFilters(const std::string& outputType);
// The output file name from a name chosen with filter `filterIndex` (0 = the first): text files
// get ".txt" and dBase tables ".dbf" unless the name holds it already; the test is case-sensitive,
// so "X.TXT" becomes "X.TXT.txt". "Other Files" takes the name as it is.
std::string ChosenOutputFileName(const std::string& outputType, int filterIndex, const std::string& chosen);

// One row of the event filter list: one per tEventMap row, in flag order.
struct TEventFilterRow {
  std::string flag;
  std::string text;  // as the list shows it: two blanks, the flag, two blanks, its display text
  bool ticked = false;
};
// The rows with their ticks: a row is ticked when its flag occurs anywhere in `outputEventFilter`
// (so a flag "0" is ticked by "01,05" too). An empty flag is never ticked.
std::vector<TEventFilterRow> EventFilterRows(TDatabase& db, const std::string& outputEventFilter);
// The ticked flags in list order joined by ","; "NONE" when none is ticked.
std::string EventFilterText(const std::vector<std::string>& tickedFlags);

// What the setup window holds when OK is pressed.
struct TLoadingSetup {
  std::string outputType;  // empty: no type chosen
  std::string outputFormat;
  std::string outputFileName;
  std::vector<std::string> tickedFlags;
  bool termNoAsFileExt = false;
  bool dateAsFileName = false;
  bool deleteAfterLoaded = false;
  bool restartAfterLoaded = false;
  bool flagTransaction = false;
  bool synchronizeTime = false;
  bool lockTerminal = false;
  bool skipDuplicates = false;
};

inline constexpr const char* kNoOutputTypeText = "Choose a File Type first.";

// OK of the setup: a setup without a type is refused with the error box, and nothing is stored.
// Otherwise the fields are set (an empty file name is "NONE", which switches the output off), the
// upload configuration is written (a missing file is only warned about) and the log gets the state
// of "Delete After Loaded". True unless refused.
bool SaveLoadingSetup(const TLoadingSetup& setup, const std::string& programFolder, TSysParam& param,
                      TOperatorUi& ui, const std::function<void(const std::string&, bool)>& writeLog);

}  // namespace korvo
