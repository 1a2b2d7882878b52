#include <gtest/gtest.h>

#include "support/FakeSerialLine.h"
#include "link/QCCom32.h"
#include "support/VirtualClock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using test::TFakeSerialLine;
using test::TRecordingUi;

struct QCCom32Test : ::testing::Test {
  TVirtualClock clock;
  TRecordingUi ui;
  TFakeSerialLine line{clock};
  T_QCCom32 com{clock, ui, line.Factory()};

  std::vector<std::string> Kinds() const {
    std::vector<std::string> out;
    for (const auto& e : line.Events())
      if (e.kind != "waiting") out.push_back(e.kind);
    return out;
  }
};

TEST_F(QCCom32Test, DefaultsAndTheSettingsOfTheDataModule) {
  EXPECT_EQ(com.Port(), 1);
  EXPECT_EQ(com.Baud(), 9600);
  EXPECT_EQ(com.Byte(), 8);
  EXPECT_EQ(com.Parity(), 0);
  EXPECT_EQ(com.Stop(), 1);
  EXPECT_FALSE(com.XonXoff);
  EXPECT_FALSE(com.DtrDsr);
  EXPECT_TRUE(com.ShowErrors);
  EXPECT_EQ(com.ResponseTime, 1000);
  EXPECT_TRUE(com.EndOfResponse.empty());
  EXPECT_FALSE(com.OnTimeout);
  EXPECT_FALSE(com.Opened());
  EXPECT_EQ(com.Handle(), -1);
  EXPECT_FALSE(com.InUse());
  EXPECT_FALSE(com.TimedOut());

  test::TTempFolder dir;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = test::StartProgram(program);
  EXPECT_EQ(dm.QCCom.Port(), 1);
  EXPECT_EQ(dm.QCCom.Baud(), 115200);
  EXPECT_EQ(dm.QCCom.Byte(), 8);
  EXPECT_EQ(dm.QCCom.Parity(), 0);
  EXPECT_EQ(dm.QCCom.Stop(), 1);
  EXPECT_FALSE(dm.QCCom.XonXoff);
  EXPECT_FALSE(dm.QCCom.DtrDsr);
  EXPECT_TRUE(dm.QCCom.ShowErrors);
  EXPECT_EQ(dm.QCCom.ResponseTime, 100);
  EXPECT_TRUE(dm.QCCom.EndOfResponse.empty());
  EXPECT_FALSE(dm.QCCom.Opened()) << "the port is opened by the conversations, not at start";
  program.ShutDown();
}

TEST_F(QCCom32Test, OpenTakesThePortNumberAndTheLineSettings) {
  com.SetPort(3);
  com.SetBaud(115200);
  EXPECT_EQ(line.Opens(), 0) << "settings of a closed port open nothing";
  ASSERT_TRUE(com.Open());
  EXPECT_TRUE(com.Opened());
  EXPECT_NE(com.Handle(), -1);
  EXPECT_EQ(line.OpenedPorts(), std::vector<int>{3});
  EXPECT_EQ(line.LastSettings().baud, 115200);
  EXPECT_EQ(line.LastSettings().byteSize, 8);
  EXPECT_EQ(line.LastSettings().parity, 0);
  EXPECT_EQ(line.LastSettings().stopCode, 0) << "one stop bit is platform code Stop - 1";
  EXPECT_TRUE(ui.calls.empty());

  // Opening an open port closes it first.
  ASSERT_TRUE(com.Open());
  EXPECT_EQ(Kinds(), (std::vector<std::string>{"open", "close", "open"}));
  com.Close();
  com.Close();
  EXPECT_FALSE(com.Opened());
  EXPECT_EQ(com.Handle(), -1);
  EXPECT_EQ(Kinds().back(), "close");
  EXPECT_EQ(line.EventsOf("close").size(), 2u) << "closing a closed port does nothing";
}

TEST_F(QCCom32Test, AMissingPortIsAskedAboutWithAbortAndRetry) {
  com.SetPort(4);
  line.failOpens = 2;
  ui.abortRetryAnswers = {TAbortRetry::Retry, TAbortRetry::Retry};
  EXPECT_TRUE(com.Open());
  EXPECT_EQ(ui.Texts("abortretry"),
            (std::vector<std::string>{"Error opening COM4: ", "Error opening COM4: "}));
  com.Close();

  ui.calls.clear();
  line.alwaysFail = true;
  ui.abortRetryAnswers = {TAbortRetry::Retry, TAbortRetry::Abort};
  EXPECT_FALSE(com.Open());
  EXPECT_FALSE(com.Opened());
  EXPECT_EQ(ui.Texts("abortretry").size(), 2u);
  EXPECT_FALSE(com.Write("GETVER\r"));
  EXPECT_TRUE(line.Writes().empty());

  ui.calls.clear();
  com.ShowErrors = false;
  EXPECT_FALSE(com.Open());
  EXPECT_TRUE(ui.calls.empty()) << "without ShowErrors a failed open ends at once";
}

TEST_F(QCCom32Test, RefusedBufferSizesAreReportedAndThePortIsUsedAnyway) {
  line.refuseBuffers = true;
  ui.abortRetryAnswers = {TAbortRetry::Abort};
  EXPECT_TRUE(com.Open());
  EXPECT_EQ(ui.Texts("abortretry"), std::vector<std::string>{"Cannot setup comm buffer"});
  EXPECT_TRUE(com.Write("x"));

  ui.calls.clear();
  com.ShowErrors = false;
  EXPECT_TRUE(com.Open());
  EXPECT_TRUE(ui.calls.empty()) << "without ShowErrors the buffer sizes are not set";

  // A line state that cannot be changed leaves the port open with the driver's settings.
  line.refuseSettings = true;
  EXPECT_TRUE(com.Open());
  EXPECT_TRUE(com.Opened());
}

TEST_F(QCCom32Test, ChangingALineSettingWhileOpenReopensThePort) {
  ASSERT_TRUE(com.Open());
  EXPECT_EQ(line.LastSettings().baud, 9600);
  com.SetBaud(115200);
  EXPECT_EQ(Kinds(), (std::vector<std::string>{"open", "close", "open"}));
  EXPECT_EQ(line.LastSettings().baud, 115200);
  com.SetBaud(115200);
  com.SetPort(1);
  com.SetByte(8);
  com.SetParity(0);
  com.SetStop(1);
  EXPECT_EQ(line.Opens(), 2) << "the same value does nothing";

  com.SetPort(2);
  com.SetByte(7);
  com.SetParity(2);
  com.SetStop(2);
  EXPECT_EQ(line.Opens(), 6);
  EXPECT_EQ(line.OpenedPorts().back(), 2);
  EXPECT_EQ(line.LastSettings().byteSize, 7);
  EXPECT_EQ(line.LastSettings().parity, 2);
  EXPECT_EQ(line.LastSettings().stopCode, 1);
  EXPECT_TRUE(com.Opened());
}

TEST_F(QCCom32Test, ClosedPortOperationsDoNothing) {
  com.Purge();
  EXPECT_FALSE(com.EscapeFunction(T_QCCom32::SETRTS));
  EXPECT_EQ(com.InCount(), 0);
  EXPECT_EQ(com.Read(), "");
  EXPECT_FALSE(com.Write("GETVER\r"));
  com.EndOfResponse = "OK";
  EXPECT_EQ(com.Read(), "");
  EXPECT_EQ(clock.ElapsedMs(), 0) << "a closed port is not waited on";
  EXPECT_TRUE(line.Events().empty());
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(QCCom32Test, ReadTakesWhatIsWaitingAndNeverWaits) {
  ASSERT_TRUE(com.Open());
  EXPECT_EQ(com.Read(), "");
  EXPECT_EQ(clock.ElapsedMs(), 0);
  line.Send("KORVO2K\r\n", 5);
  EXPECT_EQ(com.InCount(), 0);
  clock.Pause(5);
  EXPECT_EQ(com.InCount(), 9);
  EXPECT_EQ(com.Read(), "KORVO2K\r\n");
  EXPECT_EQ(com.InCount(), 0);
  EXPECT_TRUE(com.Write("GETVER\r"));
  EXPECT_EQ(line.Writes(), std::vector<std::string>{"GETVER\r"});

  line.Send("abc");
  clock.Pause(1);
  com.Purge();
  EXPECT_EQ(com.InCount(), 0);
  EXPECT_EQ(line.EventsOf("purge").at(0).data, "abc");
}

TEST_F(QCCom32Test, EscapeFunctionDrivesRtsAndDtr) {
  ASSERT_TRUE(com.Open());
  EXPECT_TRUE(com.EscapeFunction(T_QCCom32::SETRTS));
  EXPECT_TRUE(com.EscapeFunction(T_QCCom32::CLRRTS));
  EXPECT_TRUE(com.EscapeFunction(T_QCCom32::CLRDTR));
  EXPECT_FALSE(com.EscapeFunction(99));
  auto rts = line.EventsOf("rts");
  ASSERT_EQ(rts.size(), 2u);
  EXPECT_EQ(rts[0].data, "1");
  EXPECT_EQ(rts[1].data, "0");
  EXPECT_EQ(line.EventsOf("dtr").at(0).data, "0");
  line.hasRts = false;
  EXPECT_FALSE(com.EscapeFunction(3)) << "a line without RTS says so";
}

TEST_F(QCCom32Test, AWaitingReadEndsOnItsTextOrAfterResponseTime) {
  ASSERT_TRUE(com.Open());
  com.EndOfResponse = "OK";
  com.ResponseTime = 100;
  line.Send("PAR 30 = 5 O", 20);
  line.Send("K\r\n", 40);
  EXPECT_EQ(com.Read(), "PAR 30 = 5 OK\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 40);
  EXPECT_FALSE(com.TimedOut());
  EXPECT_GT(ui.processed, 0) << "window messages are handled while waiting";

  int timeouts = 0;
  com.OnTimeout = [&] { ++timeouts; };
  line.Send("PAR 7", 30);
  ui.abortRetryAnswers = {TAbortRetry::Retry, TAbortRetry::Abort};
  std::int64_t start = clock.ElapsedMs();
  EXPECT_EQ(com.Read(), "PAR 7");
  EXPECT_EQ(clock.ElapsedMs() - start, 200) << "Retry waits another ResponseTime";
  EXPECT_TRUE(com.TimedOut());
  EXPECT_EQ(timeouts, 2);
  EXPECT_EQ(ui.Texts("abortretry"),
            (std::vector<std::string>{"Timeout waiting for response.", "Timeout waiting for response."}));

  ui.calls.clear();
  com.ShowErrors = false;
  EXPECT_EQ(com.Read(), "");
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(timeouts, 3);
  EXPECT_FALSE(com.InUse());
}

// Window messages handled during a waiting read start a second read.
struct TReenteringUi : TRecordingUi {
  T_QCCom32* com = nullptr;
  std::vector<std::string> nested;
  void ProcessMessages() override {
    TRecordingUi::ProcessMessages();
    if (com && nested.size() < 2) nested.push_back(com->Read());
  }
};

TEST(QCCom32, ASecondReadWhileOneRunsIsRefused) {
  TVirtualClock clock;
  TReenteringUi ui;
  TFakeSerialLine line{clock};
  T_QCCom32 com{clock, ui, line.Factory()};
  ASSERT_TRUE(com.Open());
  com.EndOfResponse = "*";
  line.Send("x", 0);
  line.Send("y*", 10);
  clock.Pause(1);
  ui.com = &com;
  EXPECT_EQ(com.Read(), "xy*") << "the refused read took nothing away";
  EXPECT_EQ(ui.nested, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(ui.Texts("warning"), (std::vector<std::string>{"Port is in use -- operation aborted",
                                                           "Port is in use -- operation aborted"}));
  EXPECT_FALSE(com.InUse());

  ui.nested.clear();
  ui.calls.clear();
  com.ShowErrors = false;
  line.Send("z*", 5);
  EXPECT_EQ(com.Read(), "z*");
  EXPECT_EQ(ui.nested.size(), 2u);
  EXPECT_TRUE(ui.Texts("warning").empty());
}

}  // namespace
}  // namespace korvo
