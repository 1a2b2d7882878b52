#include "support/PythonReader.h"

#include <cstdio>
#include <fstream>

namespace korvo::test {

std::string RunPythonReader(const std::string& folder, const std::string& script, const std::string& path) {
  const std::string file = folder + "read.py";
  std::ofstream(file, std::ios::binary) << script;
  std::string out;
  std::FILE* p = ::popen(("/usr/bin/python3 '" + file + "' '" + path + "' 2>&1").c_str(), "r");
  char buf[512];
  while (p && std::fgets(buf, sizeof buf, p)) out += buf;
  if (p) ::pclose(p);
  return out;
}

}  // namespace korvo::test
