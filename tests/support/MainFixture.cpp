#include "support/MainFixture.h"

#include <map>

#include "main/LoginLookup.h"
#include "store/Password.h"
#include "support/LogMessages.h"
#include "support/TemplateDatabase.h"

namespace korvo::test {
const std::string& CachedHash(const std::string& password) {
  static std::map<std::string, std::string> hashes;
  auto it = hashes.find(password);
  if (it == hashes.end()) it = hashes.emplace(password, HashPassword(password)).first;
  return it->second;
}

void TMainFixture::SetUp() {
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
  program = std::make_unique<TProgram>(dir.Path(), clock, ui);
  dm = &StartProgram(*program);
  ASSERT_TRUE(dm->DatabaseOpen());
  ui.calls.clear();
}

void TMainFixture::TearDown() {
  program.reset();
}

void TMainFixture::AddTerminal(const std::string& address, const std::string& termNo,
                               const std::string& location, int port) {
  dm->ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                   {address, termNo, location, std::int64_t{port}});
}

void TMainFixture::AddLogin(const std::string& name, const std::string& password) {
  dm->ADOC.Execute("INSERT INTO tLogins (fsLoginName, fsPassword) VALUES (?, ?)",
                   {ScrambleLoginName(name), CachedHash(password)});
}

std::vector<std::string> TMainFixture::LogMessages() {
  return test::LogMessages(dir.Read(program->Log.CurrentPath().substr(dir.Path().size())));
}

}  // namespace korvo::test
