#pragma once

#include <cstdio>
#include <string>

namespace korvo {

// Appends the line and CR LF to the file, creating it when missing. The text is written in
// Windows-1252, like everything on the terminal side. Errors are ignored: the line is lost.
void AppendLine(const std::string& line, const std::string& fileName);

// Copies every line of `source` (when it exists) to the end of `target`, each followed by CR LF;
// the target is created when missing. Raises std::runtime_error naming the file that failed.
void AppendTextFile(const std::string& source, const std::string& target);

// AppendLine for many lines in a row: the file stays open while the lines go to the same one.
class TLineAppender {
 public:
  TLineAppender() = default;
  ~TLineAppender() { Close(); }
  TLineAppender(const TLineAppender&) = delete;
  TLineAppender& operator=(const TLineAppender&) = delete;
  void Append(const std::string& line, const std::string& fileName);
  void Close();

 private:
  std::FILE* file_ = nullptr;
  std::string name_;
};

}  // namespace korvo
