// korvo2k-cli templates against a simulated network terminal, in real time: what is printed, the exit
// codes, and what reaches the terminal and the database.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "store/TextCodec.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

const std::string kTemplate(384, '\x07');

// The first field of the statement's first row, or "<none>"; the statement runs in the program folder.
std::string Sql(const test::TTempFolder& dir, const std::string& statement) {
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  std::string value = "<none>";
  {
    TQuery q(program.Start().ADOC);
    q.SetSQL(statement);
    if (statement.rfind("SELECT", 0) != 0) {
      q.ExecSQL();
    } else if (q.Open(); !q.IsEmpty()) {
      value = q.Field(0).AsString();
    }
  }
  program.ShutDown();
  return value;
}

TEST(CliTemplates, GetSendAndRemoveOfTheCardsGiven) {
  test::TTempFolder dir;
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
  korvosim::TcpFront tcp;
  auto terminal = std::make_shared<korvosim::Terminal>();
  terminal->setParam(7, "4");
  Sql(dir, "INSERT INTO tTerminals (fsAddr, fsLocation, fnPort) VALUES ('127.0.0.1', 'Gate', " +
               std::to_string(tcp.add(terminal)) + "), ('5', 'Hall', 1)");
  Sql(dir, "INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES ('1234', 'A', '" +
               HexEncode(kTemplate) + "'), ('77', 'B', 'XYZ'), ('99', 'C', NULL)");
  struct TCase {
    std::vector<std::string> args;
    int rc;
    std::string out, errPart;
  };
  const std::vector<TCase> cases = {
      {{"send", "127.0.0.1", "--all"},
       1,
       "Job Complete.\n1234 : sent\n",
       "error: card 77: its template text is no hexadecimal; nothing was sent\n"},
      {{"get", "127.0.0.1"}, 0, "Job Complete.\n1234 : stored\n0056 : new cardholder\n", ""},
      {{"remove", "127.0.0.1", "1234"}, 0, "1234 : removed\n", ""},
      {{"send", "127.0.0.1", "1234", "99"},
       1,
       "Job Complete.\n99 : no template, listed\n",
       "error: card 1234: the terminal refused its template\n"},
      {{"get", "5"}, 1, "", "warning: Fingerprint templates travel over the network only"},
      {{"send", "127.0.0.1"}, 2, "", "give the cards, or --all"},
      {{"send", "127.0.0.1", "1", "--all"}, 2, "", "not both"},
      {{"remove", "127.0.0.1"}, 2, "", "CARD is required"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--folder", dir.Path(), "templates"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(args.back());
    if (c.args[0] == "get") terminal->setTemplate("56", 0, kTemplate);
    if (c.rc == 1 && c.args.size() == 4) terminal->refuseTemplateBytes("1234");
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), c.rc) << err.str();
    EXPECT_EQ(out.str(), c.out);
    if (c.errPart.empty()) {
      EXPECT_EQ(err.str(), "");
    } else {
      EXPECT_NE(err.str().find(c.errPart), std::string::npos) << err.str();
    }
  }
  EXPECT_EQ(Sql(dir, "SELECT fmBioData FROM tEmployees WHERE fsCardNo = '0056'"), HexEncode(kTemplate));
  EXPECT_EQ(Sql(dir, "SELECT fmBioUsrLst FROM tTerminals WHERE fsAddr = '127.0.0.1'"), "\r\n0056\r\n99\r\n");
  EXPECT_FALSE(terminal->templateBytes("1234", 0)) << "removed, then refused";
}

}  // namespace
}  // namespace korvo
