#pragma once

#include <string>

namespace korvo::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // Ends with "/", like the program folder.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& content) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace korvo::test
