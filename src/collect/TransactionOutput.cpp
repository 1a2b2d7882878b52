#include "collect/TransactionOutput.h"

#include <filesystem>

#include "collect/FormatTransaction.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionRecord.h"
#include "store/TextCodec.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Call(const std::function<void(const std::string&)>& f, const std::string& text) {
  if (f) f(text);
}

}  // namespace

std::vector<TDbfField> DbfLayout(bool extended) {
  std::vector<TDbfField> fields = {
      {"FDDATE", 'D', 8, 0},  {"FCTIME", 'C', 4, 0},   {"FCIDNUMBER", 'C', 15, 0}, {"FCSTATUS", 'C', 10, 0},
      {"FNTRNUM", 'N', 3, 0}, {"FNPROSES", 'N', 1, 0}, {"FCFKEY", 'C', 10, 0}};
  if (extended) fields.pop_back();
  return fields;
}

TTransactionOutput::TTransactionOutput(const TSysParam& param, std::string century, TOutputDate today)
    : param_(param), century_(std::move(century)), today_(today) {}

std::string TTransactionOutput::TextTarget(const std::string& date, const std::string& termNo) const {
  const std::string& name = param_.OutputFileName;
  // The extension is looked for in the file's name only: a dot in a folder name is no extension.
  const std::size_t slash = name.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::string base = name, extension = ".txt";
  if (name.find('.', nameStart) != std::string::npos) {
    const std::size_t cut = name.size() >= nameStart + 4 ? name.size() - 4 : nameStart;
    base = name.substr(0, cut);
    extension = name.substr(cut);
  }
  if (param_.DateAsFileName && param_.TermNoAsFileExt) return base + date + "_" + termNo + extension;
  if (param_.DateAsFileName) return base + date + extension;
  if (param_.TermNoAsFileExt) return base + termNo + extension;
  return name;
}

void TTransactionOutput::WriteTransactionOutput(std::vector<std::string>& records, int cardDigits,
                                                const std::string& termNo, const TTransactionLookups& lookups,
                                                const TOutputSinks& sinks) {
  if (param_.OutputFileName == "NONE") return;
  if (param_.OutputType == "TXT")
    WriteText(records, cardDigits, termNo, lookups, sinks);
  else if (param_.OutputType == "DBF" || param_.OutputType == "XDBF")
    WriteDbf(records, cardDigits, termNo, lookups, sinks, param_.OutputType == "XDBF");
}

void TTransactionOutput::WriteText(std::vector<std::string>& records, int cardDigits,
                                   const std::string& termNo, const TTransactionLookups& lookups,
                                   const TOutputSinks& sinks) {
  const TFormatContext context{param_.OutputFormat, lookups, century_};
  const bool named = param_.DateAsFileName || param_.TermNoAsFileExt;
  if (!named && !records.empty()) Call(sinks.Status, "Writing To: " + FileNameOf(param_.OutputFileName));
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (sinks.Progress) sinks.Progress(static_cast<int>(i + 1));
    if (sinks.ProcessMessages) sinks.ProcessMessages();
    const TTransactionRecord r(records[i]);
    std::string target = param_.OutputFileName;
    if (named) {
      target = TextTarget(std::string(r.Day()) + std::string(r.Month()) + century_ + std::string(r.Year()),
                          termNo);
      if (target != lastTarget_) {
        Call(sinks.Status, "Writing To: " + FileNameOf(target));
        Call(sinks.Log, "Writing To: " + target);
      }
    }
    lastTarget_ = target;
    records[i] = FormatTransaction(context, cardDigits, termNo, records[i]);
    Call(sinks.DataLine, records[i]);
    appender_.Append(records[i], target);
  }
  appender_.Close();
}

void TTransactionOutput::WriteDbf(const std::vector<std::string>& records, int cardDigits,
                                  const std::string& termNo, const TTransactionLookups& lookups,
                                  const TOutputSinks& sinks, bool extended) {
  const std::string& path = param_.OutputFileName;
  Call(sinks.Status, "Writing To: " + FileNameOf(path));
  if (!std::filesystem::exists(path))
    TDbfFile::Create(path, DbfLayout(extended), today_.year, today_.month, today_.day);
  if (auto table = TDbfFile::Open(path, today_.year, today_.month, today_.day)) {
    // Only a capital I in the format asks for the ID number instead of the card number.
    const bool idNumber = param_.OutputFormat.find('I') != std::string::npos;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (sinks.Progress) sinks.Progress(static_cast<int>(i + 1));
      if (sinks.ProcessMessages) sinks.ProcessMessages();
      const TTransactionRecord r(records[i]);
      const std::string card = RightDigits(r.Card(), cardDigits);
      std::string id = card;
      if (idNumber) {
        const auto* holder = lookups.Cardholder(card);
        id = holder ? holder->idNo : std::string();
      }
      const std::string function(r.Function());
      const std::string direction(r.Direction());
      const std::string* mappedDirection = lookups.DirCode(TrimControl(direction));
      const std::string status = mappedDirection ? *mappedDirection : direction;
      const std::string* mappedFunction = lookups.DirCode(TrimControl(function));
      const std::string functionKey = mappedFunction ? *mappedFunction : function;
      const bool ownFunction = extended && TrimControl(function) != "00";
      table->Append(
          {{"FDDATE", century_ + std::string(r.Year()) + std::string(r.Month()) + std::string(r.Day())},
           {"FCTIME", std::string(r.Part(16, 4))},
           {"FCIDNUMBER", id},
           {"FCSTATUS", ownFunction ? functionKey : status},
           {"FNTRNUM", termNo},
           {"FNPROSES", "0"},
           {"FCFKEY", functionKey}});
    }
  }
  Call(sinks.Log, "Writing To: " + path);
}

}  // namespace korvo
