#pragma once

#include <functional>
#include <string>
#include <vector>

namespace korvo {

class TOperatorUi;
class TResultList;
struct TLinkContext;

// Typed in any letter case, this phrase deletes every table file of the terminal instead of being sent.
inline constexpr const char* kDeleteAllPhrase = "kravomelitusandorapexiquintalobernyst";
inline constexpr const char* kDeleteAllQuestion = "All data will be lost, are you sure to delete all file ?";
// The table files go; EXPDATE.DAT, FKEYTAB.DAT and IDLOOKUP stay.
inline constexpr const char* kDeleteAllText =
    "LOCKSYS\rDELFILE SYSTEM\\AXGROUP.DAT\rDELFILE SYSTEM\\ALARMTB.DAT\rDELFILE SYSTEM\\AXTIMET.DAT\r"
    "DELFILE SYSTEM\\HOLITBL.DAT\rDELFILE SYSTEM\\ADMINTB.DAT\rDELFILE SYSTEM\\AXMSGTB.DAT\r"
    "DELFILE SYSTEM\\SPCUSER.DAT\rDELFILE SYSTEM\\BLGROUP.DAT\rUNLOCKSYS";

// The direct command console of the Direct Command window and of the command line: one typed command
// at a time to a terminal, its reply laid out in the result list. Commands that change the terminal's
// files are written to the monthly log.
class TDirectConsole {
 public:
  // `ui` asks the Delete all question and shows errors; `lastCommand` is the one level of recall, kept
  // by the caller for as long as the run lasts.
  TDirectConsole(TLinkContext& link, TOperatorUi& ui, TResultList& list,
                 std::function<void(const std::string&)> writeStampedLog, std::string& lastCommand)
      : link_(link), ui_(ui), list_(list), log_(std::move(writeStampedLog)), lastCommand_(lastCommand) {}

  // Runs the box's text against the terminal with this address. True when the box is to be emptied;
  // after an error (shown in the error box) the text is added to the list and stays in the box.
  bool Run(const std::string& address, const std::string& boxText);

 private:
  void DeleteAll(const std::string& address);

  TLinkContext& link_;
  TOperatorUi& ui_;
  TResultList& list_;
  std::function<void(const std::string&)> log_;
  std::string& lastCommand_;
};

// The file a save of the result list writes: ".txt" is appended unless the name holds it (exactly so).
std::string ResultFileName(const std::string& chosen);
// Every line followed by CR LF. Raises an error when the file cannot be written.
void SaveResultLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace korvo
