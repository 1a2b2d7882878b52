#pragma once

#include <string>

namespace korvo {
class TDM;
class TProgram;
}  // namespace korvo

namespace korvo::test {

// Puts a copy of a database with only the installed rows into `folder` (ending with "/"). The
// database is built once per test program: building the schema for every test would cost more than
// most tests.
void CopyTemplateDatabase(const std::string& folder);

// Starts `program` on such a copy, as a start that finds its database in place.
TDM& StartProgram(TProgram& program);

}  // namespace korvo::test
