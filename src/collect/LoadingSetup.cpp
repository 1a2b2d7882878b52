#include "collect/LoadingSetup.h"

#include "store/Database.h"
#include "store/OperatorUi.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

bool IsDbase(const std::string& outputType) {
  return outputType == "DBF" || outputType == "XDBF";
}

std::string WithExtension(const std::string& name, const std::string& extension) {
  return name.find(extension) == std::string::npos ? name + extension : name;
}

}  // namespace

bool NameOptionsApply(const std::string& outputType) {
  return outputType == "TXT";
}

std::vector<std::string> OutputFileFilters(const std::string& outputType) {
  if (outputType == "TXT") return {"Text File (*.txt)", "Other Files (*.*)"};
  if (IsDbase(outputType)) return {"DBase File (*.dbf)"};
  return {"Other Files (*.*)"};
}

std::string ChosenOutputFileName(const std::string& outputType, int filterIndex, const std::string& chosen) {
  if (outputType == "TXT" && filterIndex == 0) return WithExtension(chosen, ".txt");
  if (IsDbase(outputType)) return WithExtension(chosen, ".dbf");
  return chosen;
}

std::vector<TEventFilterRow> EventFilterRows(TDatabase& db, const std::string& outputEventFilter) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tEventMap ORDER BY fsEventFlag");
  q.Open();
  std::vector<TEventFilterRow> rows;
  for (q.First(); !q.Eof(); q.Next()) {
    TEventFilterRow row;
    row.flag = q.FieldByName("fsEventFlag").AsString();
    row.text = "  " + row.flag + "  " + q.FieldByName("fsEventDisplay").AsString();
    row.ticked = !row.flag.empty() && outputEventFilter.find(row.flag) != std::string::npos;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string EventFilterText(const std::vector<std::string>& tickedFlags) {
  if (tickedFlags.empty()) return "NONE";
  std::string text;
  for (const std::string& flag : tickedFlags) text += (text.empty() ? "" : ",") + flag;
  return text;
}

bool SaveLoadingSetup(const TLoadingSetup& s, const std::string& programFolder, TSysParam& p, TOperatorUi& ui,
                      const std::function<void(const std::string&, bool)>& writeLog) {
  if (s.outputType.empty()) {
    ui.Error(kNoOutputTypeText);
    return false;
  }
  p.OutputType = s.outputType;
  p.OutputFormat = s.outputFormat;
  p.OutputFileName = s.outputFileName.empty() ? "NONE" : s.outputFileName;
  p.OutputEventFilter = EventFilterText(s.tickedFlags);
  p.TermNoAsFileExt = s.termNoAsFileExt;
  p.DateAsFileName = s.dateAsFileName;
  p.DeleteAfterLoaded = s.deleteAfterLoaded;
  p.RestartAfterLoaded = s.restartAfterLoaded;
  p.FlagTransaction = s.flagTransaction;
  p.SynchronizeTime = s.synchronizeTime;
  p.LockTerminal = s.lockTerminal;
  p.SkipDuplicates = s.skipDuplicates;
  WriteUploadConfig(programFolder, p, ui);
  writeLog(std::string("Data Loading Setup : Delete After Load = ") +
               (s.deleteAfterLoaded ? "True" : "False") + ".",
           true);
  return true;
}

}  // namespace korvo
