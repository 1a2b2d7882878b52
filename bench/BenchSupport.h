#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "store/OperatorUi.h"

namespace korvo::bench {

// A fresh program folder, removed at the end.
struct TTempDir {
  std::string path;
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvo-bench-XXXXXX").string();
    path = std::string(::mkdtemp(pattern.data())) + "/";
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
};

}  // namespace korvo::bench
