// A folder of the fuzz target's own, for the parsers that read a file beside the program.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace korvo::fuzz {

// The folder, ending with "/": made once per process and reused by every input.
inline const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/korvo-fuzz-XXXXXX";
    if (!::mkdtemp(name)) std::abort();
    return std::string(name) + "/";
  }();
  return folder;
}

inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace korvo::fuzz
