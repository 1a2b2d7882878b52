#include "collect/TransactionDownload.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "collect/BackupFile.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionOutput.h"
#include "collect/TransactionRecord.h"
#include "collect/TransactionStore.h"
#include "link/CommandText.h"
#include "link/LinkServices.h"
#include "link/ReplyTokens.h"
#include "store/Clock.h"
#include "store/Database.h"
#include "store/MonthlyLog.h"
#include "store/OperatorUi.h"
#include "store/TerminalList.h"
#include "store/TextCodec.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

constexpr int kAttempts = 3;
constexpr std::size_t kListingHeaderWords = 4;

int ParseCount(const std::string& word) {
  const std::string t = TrimControl(word);
  int value = 0;
  const char* first = t.data();
  if (!t.empty() && t[0] == '+') ++first;
  auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size())
    throw std::runtime_error("'" + word + "' is not a valid integer value.");
  return value;
}

}  // namespace

bool TTransEntry::IsTransactionFile() const {
  const std::string t = TrimControl(name);
  return t.size() >= 3 && t.compare(t.size() - 3, 3, "DAT") == 0;
}

std::vector<TTransEntry> ParseTransListing(const std::string& reply) {
  const std::vector<std::string> words = SplitReplyTokens(reply);
  std::vector<TTransEntry> entries;
  // An entry counts only with all three of its words.
  for (std::size_t i = kListingHeaderWords; i + 2 < words.size(); i += 3)
    entries.push_back({words[i], words[i + 1]});
  return entries;
}

std::string WholeWordsOfCutReply(const std::string& reply) {
  std::vector<std::string> words = SplitReplyTokens(reply);
  std::erase(words, "--");
  if (!words.empty()) words.pop_back();
  std::string text;
  for (const auto& w : words) text += w + "\r\n";
  return text;
}

std::vector<std::string> DownloadTargets(TDatabase& db, bool all, const std::string& currentAddress) {
  if (!all) return {currentAddress};
  std::vector<std::string> targets;
  for (const auto& t : TerminalsByAddress(db)) targets.push_back(t.address);
  return targets;
}

TTransactionDownload::TTransactionDownload(TLinkContext& link, TDatabase& db, const TSysParam& param,
                                           std::string programFolder, TClock& clock, TDownloadSinks sinks,
                                           std::function<bool()> abortRequested, bool skipDuplicates)
    : link_(link),
      db_(db),
      param_(param),
      programFolder_(std::move(programFolder)),
      clock_(clock),
      sinks_(std::move(sinks)),
      abortRequested_(std::move(abortRequested)),
      skipDuplicates_(skipDuplicates) {}

TTransactionDownload::~TTransactionDownload() = default;

void TTransactionDownload::Status(const std::string& text) const {
  if (sinks_.Status) sinks_.Status(text);
}
void TTransactionDownload::Log(const std::string& text) const {
  if (sinks_.Log) sinks_.Log(text);
}
void TTransactionDownload::StatusAndLog(const std::string& text) const {
  Status(text);
  Log(text);
}

int CountTransactions(TLinkContext& link, const std::string& address) {
  int total = 0;
  for (const auto& e : ParseTransListing(SendCommand(link, address, "DIR TRANS")))
    total += ParseCount(e.count);
  return total;
}

int TTransactionDownload::CountTransactions(const std::string& address) {
  const int total = korvo::CountTransactions(link_, address);
  if (link_.ReplyCut) cut_ = true;
  return total;
}

namespace {
// The closing line "*" came (whatever a line may add after it).
bool EndsListing(const std::string& reply) {
  const std::vector<std::string> tokens = SplitReplyTokens(reply);
  return std::find(tokens.begin(), tokens.end(), "*") != tokens.end();
}
}  // namespace

std::string TTransactionDownload::ReadTransactionFiles(const std::string& address, int* typedCount,
                                                       bool* listingsWhole) {
  Status("List File Transaction..........");
  const std::string listing = SendCommand(link_, address, "DIR TRANS");
  if (link_.ReplyCut) cut_ = true;
  const std::vector<TTransEntry> entries = ParseTransListing(listing);
  const int words = static_cast<int>(SplitReplyTokens(listing).size());
  bool whole = EndsListing(listing);
  const int maximum = (words - static_cast<int>(kListingHeaderWords)) / 3;
  if (sinks_.MeterMaximum) sinks_.MeterMaximum(maximum);
  std::string records;
  int counter = 0, typed = 0;
  for (const auto& e : entries) {
    ++counter;
    if (e.IsTransactionFile()) {
      Status("Loading From File : " + e.name + ".");
      std::string reply = SendCommand(link_, address, "TYPE TRANS\\" + e.name);
      whole = whole && EndsListing(reply);
      if (link_.ReplyCut) {
        cut_ = true;
        reply = WholeWordsOfCutReply(reply);
      }
      records += InsertFileDate(e.name.substr(0, 6), reply);
      typed += ParseCount(e.count);
      link_.Ui.ProcessMessages();
    }
    if (sinks_.MeterPosition) sinks_.MeterPosition(counter);
  }
  if (sinks_.MeterPosition) sinks_.MeterPosition(maximum);
  if (typedCount) *typedCount = typed;
  if (listingsWhole) *listingsWhole = whole;
  return records;
}

void TTransactionDownload::FlagTransactionFiles(const std::string& address) {
  for (const auto& e : ParseTransListing(SendCommand(link_, address, "DIR TRANS"))) {
    if (!e.IsTransactionFile()) continue;
    SendCommand(link_, address, "FLAGTRANS " + e.name);
    link_.Ui.ProcessMessages();
  }
}

TDownloadResult TTransactionDownload::Run(const std::vector<std::string>& addresses) {
  TDownloadResult result;
  const TLocalTime today = ToLocal(clock_.Now());
  century_ = CenturyOf(today.year);
  output_ =
      std::make_unique<TTransactionOutput>(param_, century_, TOutputDate{today.year, today.month, today.day});
  StatusAndLog("Start Loading.....");
  try {
    for (const auto& address : addresses) {
      if (Aborted()) break;
      link_.Ui.ProcessMessages();
      ++result.terminals;
      LoadTerminal(address, result);
    }
  } catch (const std::exception& e) {
    result.error = e.what();
    Log("Load Data : " + result.error);
  }
  if (!Aborted()) {
    StatusAndLog("End Loading.....");
    Status("");
  } else {
    result.aborted = true;
    Status("Abort by User......");
    Status("");
    Log("Abort by User......");
  }
  return result;
}

void TTransactionDownload::LoadTerminal(const std::string& address, TDownloadResult& result) {
  if (!Contains(UpperCase(SendCommand(link_, address, "GETVER")), "KORVO")) {
    ++result.unanswered;
    return;
  }
  const int cardDigits = ReadCardDigits(link_, address);
  int expected = 0;
  std::vector<std::string> records;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (!Attempt(address, cardDigits, expected, records, result)) return;
    if (!cut_ && static_cast<int>(records.size()) == expected) return;
  }
  ++result.incomplete;
}

bool TTransactionDownload::Attempt(const std::string& address, int cardDigits, int& expected,
                                   std::vector<std::string>& records, TDownloadResult& result) {
  if (sinks_.MeterPosition) sinks_.MeterPosition(0);
  StatusAndLog("Loading From: " + address + ".");
  records.clear();
  cut_ = false;
  SendCommand(link_, address, "LOCKSYS");
  const int count = CountTransactions(address);
  int typed = 0;
  bool listingsWhole = false;
  const std::string text = ReadTransactionFiles(address, &typed, &listingsWhole);
  for (auto& word : SplitReplyTokens(text)) records.push_back(std::move(word));
  SendCommand(link_, address, "UNLOCKSYS");
  if (sinks_.MeterPosition) sinks_.MeterPosition(0);
  expected = count;
  if (records.empty() || Contains(text, "EMPTY")) {
    expected = 0;
    if (sinks_.MainMeterFull) sinks_.MainMeterFull();
  }
  if (cut_) StatusAndLog("Loading incomplete.");
  if (records.empty()) {
    if (cut_) return true;  // the next attempt tries again
    const bool left = CountTransactions(address) > 0;
    if (left) ++result.incomplete;
    StatusAndLog(left ? "Loading incomplete." : "Data is empty.");
    return true;
  }
  bool backedUp = false;
  if (!Aborted()) {
    try {
      const std::string path =
          WriteBackupFile(programFolder_, address, cardDigits, ToLocal(clock_.Now()), records);
      backedUp = true;
      Log("Create File \"" + path.substr(path.find_last_of('/') + 1) + "\".");
    } catch (const std::exception& e) {
      StatusAndLog("Create File failed : " + std::string(e.what()));
    }
  }
  // A file is flagged as collected only by an attempt that received it whole.
  if (!Aborted() && param_.FlagTransaction && !cut_ && listingsWhole) FlagTransactionFiles(address);
  if (!Aborted() && param_.DeleteAfterLoaded) {
    // The terminal's files go only when every record they listed is here and safely on disk, and
    // every listing was whole: the deletion takes the whole folder, named or not.
    const int received = static_cast<int>(records.size());
    if (!listingsWhole) {
      StatusAndLog("Delete File Trans withheld: a listing was cut short.");
    } else if (backedUp && !cut_ && received >= typed) {
      SendCommand(link_, address, "LOCKSYS\rRMDIR TRANS\r");
      SendCommand(link_, address, "MKDIR TRANS\rUNLOCKSYS");
      Status("Delete File Trans.");
    } else {
      StatusAndLog("Delete File Trans withheld: " + std::to_string(received) + " of " +
                   std::to_string(typed) + " record(s) received" + (backedUp ? "." : ", no backup file."));
    }
  }
  if (!Aborted() && param_.RestartAfterLoaded) {
    SendCommand(link_, address, "RESTART\r");
    Status("Restart Korvo2K Address: " + address + ".");
  }
  std::string termNo;
  {
    TQuery q(db_);
    q.SetSQL("SELECT fsTermNo FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
    q.Open();
    if (!q.IsEmpty()) termNo = q.Field(0).AsString();
  }
  Status("Transferring from " + address + " : " + std::to_string(records.size()) + " Record(s).");
  if (sinks_.MeterMaximum) sinks_.MeterMaximum(static_cast<int>(records.size()));
  if (Aborted()) return false;
  const TTransactionLookups lookups(db_);
  Store(records, cardDigits, termNo, lookups, result);
  Log("Transferring " + std::to_string(records.size()) + " Record(s).");
  if (Aborted()) return false;
  if (param_.OutputFileName != "NONE") {
    std::vector<std::string> lines = records;
    const TOutputSinks out{sinks_.Status, sinks_.Log, sinks_.DataLine, sinks_.MeterPosition,
                           [this] { link_.Ui.ProcessMessages(); }};
    output_->WriteTransactionOutput(lines, cardDigits, termNo, lookups, out);
  }
  return true;
}

void TTransactionDownload::Store(const std::vector<std::string>& records, int cardDigits,
                                 const std::string& termNo, const TTransactionLookups& lookups,
                                 TDownloadResult& result) {
  // One transaction for the attempt: what was stored before a failure is kept.
  TTransaction transaction(db_);
  TTransactionStore store(db_, lookups, century_, skipDuplicates_);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (sinks_.MeterPosition) sinks_.MeterPosition(static_cast<int>(i + 1));
    link_.Ui.ProcessMessages();
    try {
      if (store.StoreTransaction(records[i], cardDigits, termNo)) ++result.stored;
    } catch (const TDbError&) {
      StatusAndLog("Error writing to database.");
      ++result.storeErrors;
      break;
    }
    if (sinks_.DataLine) sinks_.DataLine(records[i]);
  }
  transaction.Commit();
  result.skipped += store.Skipped();
  if (store.Skipped() > 0)
    StatusAndLog("Skipped " + std::to_string(store.Skipped()) + " Record(s) already stored.");
}

}  // namespace korvo
