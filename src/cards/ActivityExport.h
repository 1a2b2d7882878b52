#pragma once

#include <optional>
#include <string>

#include "cards/ActivityQuery.h"
#include "collect/TransactionOutput.h"

namespace korvo {

class TDatabase;

enum class TActivitySaveType { Text, Dbf, Filo, Csv };

// The save dialog's filter list: text, dBase and attendance first, CSV after them.
std::string ActivitySaveFilter();
// The type of the chosen filter, counted from 1 as the dialog gives it.
std::optional<TActivitySaveType> SaveTypeOfFilter(int filterIndex);
// The hint of the reload page's "Output File" box.
std::string OutputFileHint(const std::string& outputFileName, const std::string& outputFormat);

// The name the file is written under: ".txt", ".dbf" or ".csv" added when the name lacks it.
std::string SaveFileName(TActivitySaveType type, const std::string& name);
// The text line of a row: only capital letters are format letters, W and every other character
// stand for themselves; C is the century of the row's own year.
std::string ActivityTextLine(const std::string& format, const TActivityListRow& row);

// The attendance table of a card's day: the earliest and the latest time; a single time is a
// first-in before noon and a last-out from noon on.
struct TAttendance {
  std::string firstIn, lastOut;
};
TAttendance AttendanceOf(const std::string& earliest, const std::string& latest);
std::vector<TDbfField> AttendanceLayout();

struct TSaveResult {
  std::string path;
  int records = 0;
};

// Writes the rows of the list as last run to a new file of the type; returns the path and the
// records written. Raises the engine's error or std::runtime_error for a file that cannot be made.
TSaveResult SaveActivities(TDatabase& db, const TActivityRun& lastRun, TActivitySaveType type,
                           const std::string& name, const std::string& outputFormat, TOutputDate today);

}  // namespace korvo
