#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkContext.h"
#include "link/QCCom32.h"
#include "store/Database.h"
#include "store/DbValue.h"
#include "store/Jobs.h"
#include "store/RecordServices.h"
#include "store/TextCodec.h"

namespace korvo {

class TProgram;
class TClock;
class TOperatorUi;
class TSettingsRecord;
struct TSysParam;

// The data module: the one database connection with its shared queries, and the services that
// every window calls. It lives from start-up to the end of the process.
class TDM {
 public:
  explicit TDM(TProgram& program);
  ~TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  TProgram& Program;
  TSettingsRecord& Settings;
  TSysParam& SysParam;
  TClock& Clock;
  TOperatorUi& Ui;
  const std::string& ProgramFolder() const;

  TDatabase ADOC;
  TQuery TermQry{ADOC};
  TQuery CommQry{ADOC};
  TQuery AdmQry{ADOC};
  TQuery EveQry{ADOC};
  TQuery CHQry{ADOC};
  // Opened at start; the modem dialler finds its terminal rows with it.
  std::unique_ptr<TQuery> AuxQry;
  // The one serial port: the serial line opens and closes it around every command text, the modem
  // link keeps it open for the call.
  T_QCCom32 QCCom;

  std::string VersionText;

  // The one terminal job that may run at a time.
  TJobs Jobs;
  // What the terminal link uses of this module, and its state between conversations: the modem link
  // state (Link.ModemLinkState) and the network link's platform parts (Link.NetStreamFactory,
  // Link.Pinger), which tests replace.
  TLinkContext Link;

  bool DatabaseOpen() const { return ADOC.Connected(); }
  std::string DatabasePath() const;
  // True when this start found no database and created an empty one: the operator is told once.
  bool DatabaseCreated() const { return databaseCreated_; }

  // Settings, upload configuration and log.
  bool LoadSettings();
  bool SaveSettings();
  void ReadUploadConfig();
  void WriteUploadConfig();
  void WriteLog(const std::string& message, bool stamped);

  // Record services.
  bool OpenAndSeek(TQuery& query, const std::string& table, const std::string& key,
                   const std::string& keyField) {
    return korvo::OpenAndSeek(query, table, key, keyField);
  }
  // The search of OpenAndSeek on a query already open and ordered by `keyField`.
  bool SeekRecord(TQuery& query, const std::string& key, const std::string& keyField) {
    return korvo::SeekRecord(query, key, keyField);
  }
  int UpdateRecord(TQuery& query, const std::string& table, const TCondition& condition,
                   const std::vector<TValue>& values, const std::vector<std::string>& fields) {
    return korvo::UpdateRecord(query, table, condition, values, fields);
  }
  int InsertRecord(TQuery& query, const std::string& table, const std::vector<TValue>& values,
                   const std::vector<std::string>& fields) {
    return korvo::InsertRecord(query, table, values, fields);
  }
  int DeleteRecords(TQuery& query, const std::string& table, const TCondition& condition) {
    return korvo::DeleteRecords(query, table, condition);
  }
  static std::string XorText(std::string_view text, unsigned char key) { return korvo::XorText(text, key); }
  static std::string HexEncode(std::string_view bytes) { return korvo::HexEncode(bytes); }
  static std::string HexDecode(std::string_view text) { return korvo::HexDecode(text); }

  // Terminal services. A silent terminal is no error: its lines come back as "--". An address that
  // is no row of tTerminals is refused before anything is sent.
  std::string SendCommand(const std::string& address, const std::string& commandText);
  // Template transfer over TCP/IP only; `fingerCount` is the number of "TYPE TMPTABLE" lines to read.
  std::string SendNetCommand(const std::string& address, const std::string& commandText, int fingerCount = 0);
  // `tcpPort`, the terminal's port, stands in for the echo where no ICMP socket may be opened.
  bool PingHost(const std::string& host, int tcpPort = 0);
  // Makes sure the call to a modem address is up, or hangs up for any other address.
  bool DialTerminal(const std::string& address);
  std::string WaitModemReply(const std::string& modemCommands);
  std::string ReadParameters(const std::string& address, const std::string& numberList);
  std::string SendCommandList(const std::string& address, const std::string& commandLines);

  // The last step of shutting down.
  void FreeAuxQuery() { AuxQry.reset(); }

 private:
  void OpenDatabase();
  void WireLink();
  std::optional<TTerminalRow> FindTerminalRow(TQuery& query, const std::string& address);
  bool databaseCreated_ = false;
};

}  // namespace korvo
