// cards list, add, edit, delete and send against a simulated network terminal: the access group is
// kept as the terminal's stored fmAxGroup between runs, and send uploads it.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class CliCardsTest : public ::testing::Test {
 protected:
  CliCardsTest() {
    const int port = tcp.add(terminal);
    Sql(
        {"INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort, fmTimeTbl, fmAccess) VALUES "
         "('127.0.0.1', "
         "'001', 'Gate', " +
             std::to_string(port) + ", '2\r\n5\r\n7\r\n', '2\r\n')",
         "INSERT INTO tTimeTable VALUES (2, 'A', '080000', '170000', 124), (5, 'B', '080000', '170000', "
         "124), "
         "(7, 'C', '080000', '170000', 124)",
         "INSERT INTO tAccess VALUES (2, 'Late', '', '5\r7\r')",
         "INSERT INTO tEmployees (fsCardNo, fsName, fsPIN) VALUES ('100', 'Ann', '111111'), ('200', 'Bob', "
         "'')"});
  }
  std::string Sql(const Strings& statements, const std::string& query = "") {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = program.Start();
    for (const auto& s : statements) dm.ADOC.Execute(s);
    std::string value;
    if (!query.empty()) {
      TQuery q(dm.ADOC);
      q.SetSQL(query);
      q.Open();
      value = q.IsEmpty() ? "(none)" : q.Field(0).AsString();
    }
    program.ShutDown();
    return value;
  }
  std::string Group() { return Sql({}, "SELECT fmAxGroup FROM tTerminals"); }
  int Cli(const Strings& args, std::string* out = nullptr) {
    Strings full{"--folder", dir.Path()};
    full.insert(full.end(), args.begin(), args.end());
    std::ostringstream o, e;
    const int rc = RunCli(full, o, e);
    if (out) *out = o.str() + e.str();
    return rc;
  }

  test::TTempFolder dir;
  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
};

TEST_F(CliCardsTest, AddEditDeleteKeepTheAccessGroupThatSendUploads) {
  const struct {
    Strings args;
    int rc;
    const char* group;
  } steps[] = {
      {{"cards", "add", "127.0.0.1", "700815", "--access", "late", "--pin", "123456", "--relay", "1"},
       0,
       "70081500006123456000001\r\n"},
      {{"cards", "add", "127.0.0.1", "700815"}, 1, "70081500006123456000001\r\n"},
      {{"cards", "edit", "127.0.0.1", "100", "--also", "200", "--access", "None", "--pin-time", "Late",
        "--relay", "3"},
       0,
       "70081500006123456000001\r\n10000000111111000063\r\n20000000000000000063\r\n"},
      {{"cards", "edit", "127.0.0.1", "999"},
       1,
       "70081500006123456000001\r\n10000000111111000063\r\n20000000000000000063\r\n"},
      {{"cards", "delete", "127.0.0.1", "200"}, 0, "70081500006123456000001\r\n10000000111111000063\r\n"},
  };
  for (const auto& s : steps) {
    std::string out;
    EXPECT_EQ(Cli(s.args, &out), s.rc) << s.args[1] << ' ' << s.args[3] << out;
    EXPECT_EQ(Group(), s.group) << s.args[1] << ' ' << s.args[3];
  }
  EXPECT_EQ(Sql({}, "SELECT fsPIN FROM tEmployees WHERE fsCardNo='200'"), "(none)");
  EXPECT_EQ(Sql({}, "SELECT fnPINTime FROM tEmployees WHERE fsCardNo='100'"), "2");
  EXPECT_TRUE(terminal->files("SYSTEM").empty()) << "nothing sent before send";

  std::string out;
  ASSERT_EQ(Cli({"cards", "list", "127.0.0.1"}, &out), 0);
  EXPECT_NE(out.find("[x] 700815          "), std::string::npos) << out;

  ASSERT_EQ(Cli({"cards", "send", "127.0.0.1"}, &out), 0) << out;
  EXPECT_EQ(terminal->file("SYSTEM\\AXGROUP.DAT"),
            (Strings{"000000100000001111111000063", "000700815000061123456000001"}))
      << "in list order";
  EXPECT_EQ(terminal->param(22), "1");
  const Strings wire = tcp.transcript().commands();
  EXPECT_EQ(std::count(wire.begin(), wire.end(), "PAR 7"), 0);
  EXPECT_EQ(wire.at(0), "GETVER");
  EXPECT_EQ(wire.at(1), "PAR 22 1");
}

}  // namespace
}  // namespace korvo
