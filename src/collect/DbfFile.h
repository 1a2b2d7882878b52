#pragma once

#include <memory>
#include <string>
#include <vector>

namespace korvo {

// One field of a dBase III table.
struct TDbfField {
  std::string name;
  char type = 'C';  // 'C' text, 'N' number, 'D' date (YYYYMMDD)
  int width = 0;
  int decimals = 0;
};

// A dBase III table at exactly the path given (no extension is added or changed), written through
// shapelib. Records are added at the end; a value goes into the field of the same name, whatever
// its case, converted to that field's type and width; fields the table lacks are dropped.
class TDbfFile {
 public:
  // Creates the file with these fields; the header date is `year`-`month`-`day`.
  static bool Create(const std::string& path, const std::vector<TDbfField>& fields, int year, int month,
                     int day);
  // Null when the file cannot be opened as a dBase table. Records added make `year`-`month`-`day`
  // the header's date of the last change.
  static std::unique_ptr<TDbfFile> Open(const std::string& path, int year, int month, int day);
  ~TDbfFile();
  TDbfFile(const TDbfFile&) = delete;
  TDbfFile& operator=(const TDbfFile&) = delete;

  const std::vector<TDbfField>& Fields() const { return fields_; }
  int RecordCount() const;
  // Adds one record: (field name, value as text) pairs; a text goes in as Windows-1252.
  void Append(const std::vector<std::pair<std::string, std::string>>& values);

 private:
  TDbfFile(void* handle, std::vector<TDbfField> fields);
  void* handle_;
  std::vector<TDbfField> fields_;
};

// A value as the bytes of a field: text padded on the right and cut to the width, a number right
// aligned (blanks when the text is no number, stars when it does not fit), a date as eight digits
// (blanks otherwise).
std::string DbfFieldBytes(const TDbfField& field, const std::string& value);

}  // namespace korvo
