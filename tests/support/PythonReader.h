#pragma once

#include <string>

namespace korvo::test {

// Runs a Python script with Debian's python3 (where python3-dbfread lives) over one file and gives
// everything it printed: third-party readers check the files the program writes.
std::string RunPythonReader(const std::string& folder, const std::string& script, const std::string& path);

}  // namespace korvo::test
