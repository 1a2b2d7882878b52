#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "store/DataMod.h"
#include "store/Program.h"
#include "support/FakeSerialLine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedTerminal.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"
#include "support/VirtualClock.h"

namespace korvo::test {

// Records like TRecordingUi and keeps a meter whose maximum the transports may ask for.
class TMeterUi : public TRecordingUi {
 public:
  int meterMaximum = 250;
  int ProgressMaximum() override { return meterMaximum; }
};

// A started program in a temporary folder whose serial port runs on a fake line in virtual time.
struct SerialFixture : ::testing::Test {
  TTempFolder dir;
  TVirtualClock clock;
  TMeterUi ui;
  TProgram program{dir.Path(), clock, ui};
  TDM& dm = StartProgram(program);
  TFakeSerialLine line{clock};

  SerialFixture() {
    dm.QCCom.SetDeviceFactory(line.Factory());
    ui.calls.clear();  // start-up's own notices
  }
  ~SerialFixture() override { program.ShutDown(); }

  void AddTerminal(const std::string& address, int port) {
    TQuery q(dm.ADOC);
    dm.InsertRecord(q, "tTerminals",
                    {TextValue(address), TextValue("001"), TextValue("Door"), IntValue(port)},
                    {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  }

  // The virtual times of the polls from the n-th write on, up to the next write.
  std::vector<std::int64_t> PollTimesAfterWrite(std::size_t n) const {
    std::vector<std::int64_t> out;
    std::size_t writes = 0;
    for (const auto& e : line.Events()) {
      if (e.kind == "write" && writes++ > n) break;
      // A poll looks at the port twice (the idle test, then the read) at the same moment.
      if (e.kind == "waiting" && writes == n + 1 && (out.empty() || out.back() != e.ms)) out.push_back(e.ms);
    }
    return out;
  }
  std::int64_t WriteTime(std::size_t n) const { return line.EventsOf("write").at(n).ms; }
};

}  // namespace korvo::test
