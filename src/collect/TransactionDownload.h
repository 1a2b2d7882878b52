#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvo {

struct TLinkContext;
struct TSysParam;
class TClock;
class TDatabase;
class TTransactionLookups;
class TTransactionOutput;

// What a download shows while it runs.
struct TDownloadSinks {
  std::function<void(const std::string&)> Status;    // the status list
  std::function<void(const std::string&)> Log;       // a stamped line of the monthly log
  std::function<void(const std::string&)> DataLine;  // the data list: records stored, lines written
  std::function<void(int)> MeterMaximum;             // the window's meter, per terminal
  std::function<void(int)> MeterPosition;
  std::function<void()> MainMeterFull;  // the main window's meter, for an empty terminal
};

// The listing of a terminal's TRANS folder: four header words, then name, record count and one
// unused word per file.
struct TTransEntry {
  std::string name;
  std::string count;
  // Its records are typed: the trimmed name ends in "DAT".
  bool IsTransactionFile() const;
};
std::vector<TTransEntry> ParseTransListing(const std::string& reply);
// The words of a reply the link cut short that can be trusted: every word before the last, which
// may have been cut in the middle, without the "--" of a line that ran out. One per line.
std::string WholeWordsOfCutReply(const std::string& reply);

// The sum of the record counts of every file the terminal's "DIR TRANS" listing names: the records
// waiting in it. Raises an error for a count that is not an integer.
int CountTransactions(TLinkContext& link, const std::string& address);

// How a download went, for whoever has to tell its outcome (the command line's exit status).
struct TDownloadResult {
  int terminals = 0;     // visited
  int unanswered = 0;    // skipped: no product word in the GETVER reply
  int incomplete = 0;    // the last attempt still received fewer or more records than listed
  int storeErrors = 0;   // attempts that stopped storing on a database error
  int stored = 0;        // rows added to tActivities
  int skipped = 0;       // records already stored (Skip Duplicates)
  bool aborted = false;  // the operator stopped it
  std::string error;     // the error that ended it, or empty
};

// The transaction download of the Load Data window and of the command line: per terminal, up to
// three attempts of lock, list, type, unlock, backup, flag, delete, restart, store and output.
class TTransactionDownload {
 public:
  TTransactionDownload(TLinkContext& link, TDatabase& db, const TSysParam& param, std::string programFolder,
                       TClock& clock, TDownloadSinks sinks, std::function<bool()> abortRequested,
                       bool skipDuplicates);
  ~TTransactionDownload();

  // "Start Loading.....", each terminal while no abort is asked for, then "End Loading....." or
  // "Abort by User......". An error ends the job after the end lines and is given in the result.
  TDownloadResult Run(const std::vector<std::string>& addresses);

  // The sum of the record counts of every file the "DIR TRANS" listing names. Raises an error for
  // a count that is not an integer.
  int CountTransactions(const std::string& address);
  // Lists the folder and types each transaction file; the records of all files, one per line.
  // `typedCount` receives the sum of the listed counts of the files typed; `listingsWhole` whether the
  // folder's listing and every file's came with their closing "*": a cut one may lack files or
  // records, or end in half a record. Of a listing the link cut short only the words before its last
  // are kept, and the attempt counts as cut.
  std::string ReadTransactionFiles(const std::string& address, int* typedCount = nullptr,
                                   bool* listingsWhole = nullptr);
  void FlagTransactionFiles(const std::string& address);

 private:
  void LoadTerminal(const std::string& address, TDownloadResult& result);
  // One attempt; false when the terminal is to be left (abort).
  bool Attempt(const std::string& address, int cardDigits, int& expected, std::vector<std::string>& records,
               TDownloadResult& result);
  void Store(const std::vector<std::string>& records, int cardDigits, const std::string& termNo,
             const TTransactionLookups& lookups, TDownloadResult& result);
  bool Aborted() const { return abortRequested_ && abortRequested_(); }
  void Status(const std::string& text) const;
  void Log(const std::string& text) const;
  void StatusAndLog(const std::string& text) const;

  TLinkContext& link_;
  TDatabase& db_;
  const TSysParam& param_;
  std::string programFolder_;
  TClock& clock_;
  TDownloadSinks sinks_;
  std::function<bool()> abortRequested_;
  bool skipDuplicates_;
  // A listing of the running attempt was cut short: the attempt cannot be complete.
  bool cut_ = false;
  std::string century_;
  // One for the whole job: the text target last written spans terminals.
  std::unique_ptr<TTransactionOutput> output_;
};

// The terminals a download visits: every address in order when `all`, otherwise the current one.
std::vector<std::string> DownloadTargets(TDatabase& db, bool all, const std::string& currentAddress);

}  // namespace korvo
