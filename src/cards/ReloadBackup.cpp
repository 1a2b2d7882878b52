#include "cards/ReloadBackup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "cards/ActivityRows.h"
#include "cards/ReloadSource.h"
#include "collect/FormatTransaction.h"
#include "collect/TextOutput.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionStore.h"
#include "store/Cp1252.h"
#include "store/Database.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

void Call(const std::function<void(const std::string&)>& f, const std::string& text) {
  if (f) f(text);
}

void Step(const TReloadSinks& sinks, int position) {
  if (sinks.Progress) sinks.Progress(position);
  if (sinks.ProcessMessages) sinks.ProcessMessages();
}

// A file of our own for the lines before they go to the target: a fixed name would let two
// reloads, or anyone who can write the folder, mix into it.
class TPrivateTemp {
 public:
  explicit TPrivateTemp(const std::string& folder) {
    for (const std::string& dir : {folder, std::filesystem::temp_directory_path().string() + "/"}) {
      std::string pattern = dir + "korvo-reload-XXXXXX";
      const int fd = ::mkstemp(pattern.data());
      if (fd >= 0) {
        file_ = ::fdopen(fd, "wb");
        path_ = pattern;
        return;
      }
    }
    throw std::runtime_error(std::string("Cannot create a temporary file: ") + std::strerror(errno));
  }
  ~TPrivateTemp() {
    if (file_) std::fclose(file_);
    std::remove(path_.c_str());
  }
  TPrivateTemp(const TPrivateTemp&) = delete;
  TPrivateTemp& operator=(const TPrivateTemp&) = delete;
  void Write(const std::string& line) { std::fputs((line + "\r\n").c_str(), file_); }
  const std::string& Close() {
    const bool failed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed) throw std::runtime_error("Cannot write file " + path_ + ".");
    return path_;
  }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace

TBackupReload::TBackupReload(TDatabase& db, const TSysParam& param, std::string programFolder,
                             std::string century, TOutputDate today)
    : db_(db),
      param_(param),
      folder_(std::move(programFolder)),
      century_(std::move(century)),
      today_(today) {}

std::string TBackupReload::TermNoOf(const std::string& address) {
  TRowCursor row(db_, {"SELECT fsTermNo FROM tTerminals WHERE fsAddr=?", {address}});
  // Without the terminal's own row its records would be stored under another terminal's number.
  if (!row.Next()) throw std::runtime_error("Terminal " + address + " is not in the terminal list.");
  return row.Text(0);
}

std::string TBackupReload::TextTarget(const std::string& lastRecord, const std::string& termNo) const {
  const std::string datePart = lastRecord.size() > 9 ? lastRecord.substr(9, 8) : std::string();
  return TTransactionOutput(param_, century_, today_).TextTarget(datePart, termNo);
}

void TBackupReload::WriteText(const std::vector<std::string>& records, int cardDigits,
                              const std::string& termNo, const std::string& target,
                              const TReloadSinks& sinks) {
  TTransactionLookups lookups(db_);
  const TFormatContext context{param_.OutputFormat, lookups, century_};
  TPrivateTemp temp(folder_);
  for (std::size_t i = 0; i < records.size(); ++i) {
    Step(sinks, static_cast<int>(i + 1));
    temp.Write(Utf8ToCp1252(FormatTransaction(context, cardDigits, termNo, records[i])));
  }
  AppendTextFile(temp.Close(), target);
}

TReloadResult TBackupReload::Reload(const std::string& fileName, bool activities, bool output,
                                    const TReloadSinks& sinks) {
  TReloadResult result;
  if (fileName.empty()) {
    Call(sinks.Warning, "No backup file is selected.");
    return result;
  }
  const TBackupName name = ParseBackupName(fileName);
  const std::string path = folder_ + "BackUp/" + fileName;
  if (activities) {
    const std::string termNo = TermNoOf(name.address);
    const std::vector<std::string> records = ReadBackupRecords(path);
    if (sinks.Meter) sinks.Meter("A C T I V I T I E S", static_cast<int>(records.size()));
    TTransactionLookups lookups(db_);
    TTransactionStore store(db_, lookups, century_, param_.SkipDuplicates);
    TTransaction transaction(db_);
    for (std::size_t i = 0; i < records.size(); ++i) {
      Step(sinks, static_cast<int>(i + 1));
      try {
        if (store.StoreTransaction(records[i], name.cardDigits, termNo)) ++result.stored;
      } catch (...) {
        transaction.Commit();  // the records before the faulty one stay stored
        throw;
      }
    }
    transaction.Commit();
    result.skipped = store.Skipped();
    Call(sinks.Log, "Reload file \"" + fileName + "\" to Activity Table.");
  }
  if (output && !param_.OutputFileName.empty() && param_.OutputFileName != "None") {
    const std::string termNo = TermNoOf(name.address);
    std::vector<std::string> records = ReadBackupRecords(path);
    if (sinks.Meter) sinks.Meter("O U T P U T   F I L E", static_cast<int>(records.size()));
    result.outputName = param_.OutputFileName;
    if (param_.OutputFileName != "NONE") {
      if (param_.OutputType == "TXT") {
        if (!records.empty()) {
          result.outputName = TextTarget(records.back(), termNo);
          WriteText(records, name.cardDigits, termNo, result.outputName, sinks);
        }
      } else if (param_.OutputType == "DBF" || param_.OutputType == "XDBF") {
        TTransactionLookups lookups(db_);
        TTransactionOutput out(param_, century_, today_);
        TOutputSinks outputSinks{{}, {}, {}, sinks.Progress, sinks.ProcessMessages};
        out.WriteTransactionOutput(records, name.cardDigits, termNo, lookups, outputSinks);
      }
    }
    Call(sinks.Log, "Reload file \"" + fileName + "\" to " + result.outputName + ".");
  }
  result.done = true;
  return result;
}

}  // namespace korvo
