#pragma once

#include <functional>
#include <string>
#include <vector>

#include "collect/DbfFile.h"
#include "collect/TextOutput.h"

namespace korvo {

struct TSysParam;
class TTransactionLookups;

// Where the output of a collecting job reports.
struct TOutputSinks {
  std::function<void(const std::string&)> Status;    // the job's status list
  std::function<void(const std::string&)> Log;       // a stamped line of the monthly log
  std::function<void(const std::string&)> DataLine;  // the job's data list
  std::function<void(int)> Progress;                 // records done
  std::function<void()> ProcessMessages;
};

// The date the output's dBase header carries: today on the PC's clock.
struct TOutputDate {
  int year = 0, month = 0, day = 0;
};

// The dBase layouts: "DBF" with seven fields (52-byte records), "XDBF" with the first six (42).
std::vector<TDbfField> DbfLayout(bool extended);

// The configured output of collected records: a text file of format lines, or a dBase table. One
// object serves a whole job: the text target last written is remembered across terminals, so
// "Writing To: " is reported only when the target changes.
class TTransactionOutput {
 public:
  TTransactionOutput(const TSysParam& param, std::string century, TOutputDate today);

  // Writes the records; for text output each record in the list is replaced by its line. Raises
  // the error of a record whose W letter finds no date.
  void WriteTransactionOutput(std::vector<std::string>& records, int cardDigits, const std::string& termNo,
                              const TTransactionLookups& lookups, const TOutputSinks& sinks);

  // The text file a record of this date goes to under the name options ("ddmmyyyy").
  std::string TextTarget(const std::string& date, const std::string& termNo) const;

 private:
  void WriteText(std::vector<std::string>& records, int cardDigits, const std::string& termNo,
                 const TTransactionLookups& lookups, const TOutputSinks& sinks);
  void WriteDbf(const std::vector<std::string>& records, int cardDigits, const std::string& termNo,
                const TTransactionLookups& lookups, const TOutputSinks& sinks, bool extended);

  const TSysParam& param_;
  std::string century_;
  TOutputDate today_;
  std::string lastTarget_;
  TLineAppender appender_;
};

}  // namespace korvo
