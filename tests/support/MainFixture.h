#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace korvo::test {

// A started program in a fresh folder, with a database that holds only the installed rows. The
// database comes from a copy made once per test program, so that the installed Administrator's
// password is hashed only once.
class TMainFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void AddTerminal(const std::string& address, const std::string& termNo, const std::string& location,
                   int port = 1);
  // A login with its password hashed; a hash is computed once per password per test program.
  void AddLogin(const std::string& name, const std::string& password);
  // The messages of the log lines written so far, without their 21-character stamps.
  std::vector<std::string> LogMessages();
  std::string SettingsBytes() { return dir.Read("KORVOSET.DAT"); }

  TTempFolder dir;
  TVirtualClock clock;
  TRecordingUi ui;
  std::unique_ptr<TProgram> program;
  TDM* dm = nullptr;
};

// The hash of a password, computed once per test program.
const std::string& CachedHash(const std::string& password);

}  // namespace korvo::test
