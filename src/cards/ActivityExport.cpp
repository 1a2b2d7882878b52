#include "cards/ActivityExport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "cards/ActivityRows.h"
#include "collect/DbfFile.h"
#include "store/AtomicFile.h"
#include "store/Cp1252.h"
#include "store/Database.h"

namespace korvo {
namespace {

std::ofstream CreateText(const std::string& path) {
  CreatePrivately(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Cannot create file " + path + ": " + std::strerror(errno));
  return out;
}

void Finish(std::ofstream& out, const std::string& path) {
  out.close();
  if (!out) throw std::runtime_error("Cannot write file " + path);
}

std::unique_ptr<TDbfFile> CreateDbf(const std::string& path, const std::vector<TDbfField>& fields,
                                    TOutputDate today) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::unique_ptr<TDbfFile> table;
  if (TDbfFile::Create(path, fields, today.year, today.month, today.day))
    table = TDbfFile::Open(path, today.year, today.month, today.day);
  if (!table) throw std::runtime_error("Cannot create file " + path);
  return table;
}

// "YYYY-MM-DD HH:MM:SS" in parts.
std::string Part(const std::string& time, std::size_t at, std::size_t n) {
  return at < time.size() ? time.substr(at, n) : std::string();
}

std::string CsvField(const std::string& v) {
  if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
  std::string q = "\"";
  for (char c : v) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

int SaveText(TDatabase& db, const TActivityRun& run, const std::string& path, const std::string& format) {
  std::ofstream out = CreateText(path);
  int n = 0;
  ForEachActivity(db, run, true, [&](const TActivityListRow& row) {
    out << Utf8ToCp1252(ActivityTextLine(format, row)) << "\r\n";
    ++n;
  });
  Finish(out, path);
  return n;
}

int SaveCsv(TDatabase& db, const TActivityRun& run, const std::string& path) {
  std::ofstream out = CreateText(path);
  std::string header;
  for (const auto& c : ActivityColumns()) header += (header.empty() ? "" : ",") + CsvField(c.caption);
  out << header << "\r\n";
  int n = 0;
  ForEachActivity(db, run, true, [&](const TActivityListRow& row) {
    std::string line;
    for (const auto& c : ActivityColumns())
      line += (line.empty() ? "" : ",") + CsvField(ActivityCell(row, c.field));
    out << line << "\r\n";
    ++n;
  });
  Finish(out, path);
  return n;
}

int SaveDbf(TDatabase& db, const TActivityRun& run, const std::string& path, const std::string& format,
            TOutputDate today) {
  auto table = CreateDbf(path, DbfLayout(false), today);
  const bool idNumber = format.find('I') != std::string::npos;
  int n = 0;
  ForEachActivity(db, run, true, [&](const TActivityListRow& r) {
    table->Append({{"FDDATE", Part(r.time, 0, 4) + Part(r.time, 5, 2) + Part(r.time, 8, 2)},
                   {"FCTIME", Part(r.time, 11, 2) + Part(r.time, 14, 2)},
                   {"FCIDNUMBER", idNumber ? r.idNo : r.cardNo},
                   {"FCSTATUS", r.dirCode},
                   {"FNTRNUM", r.termNo},
                   {"FNPROSES", "0"},
                   {"FCFKEY", r.functionCode}});
    ++n;
  });
  return n;
}

int SaveAttendance(TDatabase& db, const TActivityRun& run, const std::string& path, TOutputDate today) {
  const TActivityFilter& f = run.filter;
  TSqlText q{
      "SELECT A.fsCardNo,substr(A.ftTime,1,10),min(A.ftTime),max(A.ftTime),E.fsIDNo,E.fsName\n"
      "FROM tActivities A LEFT JOIN tEmployees E ON A.fsCardNo=E.fsCardNo\nWHERE TRUE\n",
      {}};
  if (!f.location.empty() && f.location != "None") {
    TRowCursor term(db, {"SELECT fsTermNo FROM tTerminals WHERE fsLocation=?", {f.location}});
    if (term.Next()) {
      q.sql += "AND A.fsTermNo=?\n";
      q.params.emplace_back(term.Text(0));
    }
  }
  if (CardRangeSet(f)) {
    q.sql += "AND A.fsCardNo BETWEEN ? AND ?\n";
    q.params.emplace_back(f.cardFrom);
    q.params.emplace_back(f.cardTo);
  }
  if (TimeRangeSet(f)) {
    q.sql += "AND A.ftTime BETWEEN ? AND ?\n";
    q.params.emplace_back(StoredTimeOfDigits(f.timeFrom));
    q.params.emplace_back(StoredTimeOfDigits(f.timeTo));
  }
  q.sql += "GROUP BY A.fsCardNo,substr(A.ftTime,1,10)\nORDER BY A.fsCardNo,substr(A.ftTime,1,10)";
  auto table = CreateDbf(path, AttendanceLayout(), today);
  TRowCursor rows(db, q);
  int n = 0;
  while (rows.Next()) {
    const std::string day = rows.Text(1);
    const TAttendance a = AttendanceOf(Part(rows.Text(2), 11, 8), Part(rows.Text(3), 11, 8));
    table->Append({{"FCCARDNO", rows.Text(0)},
                   {"FCIDNO", rows.Text(4)},
                   {"FCNAME", rows.Text(5)},
                   {"FDDATE", Part(day, 0, 4) + Part(day, 5, 2) + Part(day, 8, 2)},
                   {"FCFIRSTIN", a.firstIn},
                   {"FCLASTOUT", a.lastOut}});
    ++n;
  }
  return n;
}

}  // namespace

std::string ActivitySaveFilter() {
  return "Text Documents (*.txt)|*.txt|DBase File (*.dbf)|*.dbf|DBase FILO File (*.dbf)|*.dbf|"
         "CSV File (*.csv)|*.csv";
}

std::optional<TActivitySaveType> SaveTypeOfFilter(int filterIndex) {
  switch (filterIndex) {
    case 1:
      return TActivitySaveType::Text;
    case 2:
      return TActivitySaveType::Dbf;
    case 3:
      return TActivitySaveType::Filo;
    case 4:
      return TActivitySaveType::Csv;
    default:
      return std::nullopt;
  }
}

std::string OutputFileHint(const std::string& outputFileName, const std::string& outputFormat) {
  return "Output File : " + outputFileName + "\r" + "Template   : " + outputFormat;
}

std::string SaveFileName(TActivitySaveType type, const std::string& name) {
  const std::string ext = type == TActivitySaveType::Text  ? ".txt"
                          : type == TActivitySaveType::Csv ? ".csv"
                                                           : ".dbf";
  return name.find(ext) == std::string::npos ? name + ext : name;
}

std::string ActivityTextLine(const std::string& format, const TActivityListRow& r) {
  std::string line;
  for (char c : format) {
    switch (c) {
      case 'C':
        line += Part(r.time, 0, 2);
        break;
      case 'Y':
        line += Part(r.time, 2, 2);
        break;
      case 'M':
        line += Part(r.time, 5, 2);
        break;
      case 'D':
        line += Part(r.time, 8, 2);
        break;
      case 'H':
        line += Part(r.time, 11, 2);
        break;
      case 'N':
        line += Part(r.time, 14, 2);
        break;
      case 'S':
        line += Part(r.time, 17, 2);
        break;
      case 'R':
        line += r.cardNo;
        break;
      case 'I':
        line += r.idNo;
        break;
      case 'X':
        line += r.name;
        break;
      case 'O':
        line += r.dirCode;
        break;
      case 'E':
        line += r.eventCode;
        break;
      case 'F':
        line += r.functionCode;
        break;
      case 'T':
        line += r.termNo;
        break;
      default:
        line += c;
    }
  }
  return line;
}

TAttendance AttendanceOf(const std::string& earliest, const std::string& latest) {
  if (earliest != latest) return {earliest, latest};
  if (earliest < "12:00:00") return {earliest, ""};
  return {"", latest};
}

std::vector<TDbfField> AttendanceLayout() {
  return {{"FCCARDNO", 'C', 15, 0}, {"FCIDNO", 'C', 15, 0},   {"FCNAME", 'C', 30, 0},
          {"FDDATE", 'D', 8, 0},    {"FCFIRSTIN", 'C', 8, 0}, {"FCLASTOUT", 'C', 8, 0}};
}

TSaveResult SaveActivities(TDatabase& db, const TActivityRun& lastRun, TActivitySaveType type,
                           const std::string& name, const std::string& outputFormat, TOutputDate today) {
  TSaveResult result{SaveFileName(type, name), 0};
  switch (type) {
    case TActivitySaveType::Text:
      result.records = SaveText(db, lastRun, result.path, outputFormat);
      break;
    case TActivitySaveType::Dbf:
      result.records = SaveDbf(db, lastRun, result.path, outputFormat, today);
      break;
    case TActivitySaveType::Filo:
      result.records = SaveAttendance(db, lastRun, result.path, today);
      break;
    case TActivitySaveType::Csv:
      result.records = SaveCsv(db, lastRun, result.path);
      break;
  }
  return result;
}

}  // namespace korvo
