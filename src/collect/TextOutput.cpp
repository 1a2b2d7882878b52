#include "collect/TextOutput.h"

#include <fstream>
#include <stdexcept>

#include "store/AtomicFile.h"
#include "store/Cp1252.h"

namespace korvo {

void AppendLine(const std::string& line, const std::string& fileName) {
  TLineAppender appender;
  appender.Append(line, fileName);
}

void TLineAppender::Append(const std::string& line, const std::string& fileName) {
  if (!file_ || fileName != name_) {
    Close();
    name_ = fileName;
    CreatePrivately(fileName);
    file_ = std::fopen(fileName.c_str(), "ab");
    if (!file_) return;
  }
  const std::string bytes = Utf8ToCp1252(line) + "\r\n";
  std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void TLineAppender::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  name_.clear();
}

void AppendTextFile(const std::string& source, const std::string& target) {
  CreatePrivately(target);
  std::ofstream out(target, std::ios::binary | std::ios::app);
  if (!out) throw std::runtime_error("Cannot open file " + target + " for appending.");
  std::ifstream in(source, std::ios::binary);
  if (!in) return;
  // A line ends at CR LF, at a lone CR or at a lone LF; a last line without its end counts too.
  std::string line;
  bool open = false;
  for (char c; in.get(c);) {
    if (c == '\r' || c == '\n') {
      if (c == '\r' && in.peek() == '\n') in.get(c);
      out << line << "\r\n";
      line.clear();
      open = false;
    } else {
      line += c;
      open = true;
    }
  }
  if (open) out << line << "\r\n";
  if (!out) throw std::runtime_error("Cannot write to file " + target + ".");
}

}  // namespace korvo
