#pragma once

#include <cstdio>
#include <string>

#include "support/MainFixture.h"
#include "support/PythonReader.h"

namespace korvo::test {

// Two terminals, a cardholder and five activities over two days; one card punching twice a day.
class TActivityFixture : public TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddTerminal("192.168.1.207", "001", "Gate");
    AddTerminal("192.168.1.208", "002", "Hall");
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES ('408173', 'E-17', ?)",
                     {std::string("Zoë \"Z\", Smith")});
    Seed();
  }

  // The five activities again, after whatever a test did to them.
  void Seed() {
    dm->ADOC.Execute("DELETE FROM tActivities");
    const char* rows[][6] = {{"408173", "2026-12-08 07:58:00", "I", "00", "001", "00"},
                             {"408173", "2026-12-08 17:03:00", "O", "01", "001", "F1"},
                             {"408174", "2026-12-08 13:10:00", "I", "00", "002", "00"},
                             {"408175", "2026-12-09 11:59:59", "I", "00", "001", "00"},
                             {"408176", "2026-12-09 12:00:00", "O", "01", "002", "00"}};
    for (const auto& r : rows)
      dm->ADOC.Execute("INSERT INTO tActivities VALUES (?, ?, ?, ?, ?, ?)",
                       {std::string(r[0]), std::string(r[1]), std::string(r[2]), std::string(r[3]),
                        std::string(r[4]), std::string(r[5])});
  }

  // Runs a python3 script over a file and gives what it prints (Debian's readers check our files).
  std::string Python(const std::string& script, const std::string& path) {
    return RunPythonReader(dir.Path(), script, path);
  }
};

}  // namespace korvo::test
