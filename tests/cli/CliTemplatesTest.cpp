// korvo2k-cli templates get, send and remove against a simulated network terminal, in real time: what
// the terminal keeps, what the database holds, what is printed and the exit codes.
#include <gtest/gtest.h>

#include <functional>
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

using Strings = std::vector<std::string>;

const std::string kTemplate = [] {
  std::string t(384, '\0');
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char>(i * 7);
  return t;
}();

class CliTemplates : public ::testing::Test {
 public:
  CliTemplates() {
    dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
    terminal->setParam(7, "4");
    const int port = tcp.add(terminal);
    Sql("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES ('127.0.0.1', '001', 'Gate', " +
        std::to_string(port) + "), ('5', '002', 'Hall', 1)");
    Sql("INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES ('1234', 'A', '" + HexEncode(kTemplate) +
        "'), ('77', 'B', 'XYZ'), ('99', 'C', NULL)");
  }
  void Sql(const std::string& statement) {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    program.Start().ADOC.Execute(statement);
    program.ShutDown();
  }
  std::string Bio(const std::string& card) {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TQuery q(program.Start().ADOC);
    q.SetSQL("SELECT fmBioData FROM tEmployees WHERE fsCardNo = ?", {TextValue(card)});
    q.Open();
    std::string bio = q.IsEmpty() ? "<none>" : q.Field(0).AsString();
    q.Close();
    program.ShutDown();
    return bio;
  }

  test::TTempFolder dir;
  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
};

struct TCase {
  std::string name;
  Strings args;
  int rc;
  std::string out;
  std::string errPart;
  std::function<void(CliTemplates&)> check;
};

TEST_F(CliTemplates, GetSendAndRemove) {
  const std::vector<TCase> cases = {
      {"send",
       {"send", "127.0.0.1", "1234"},
       0,
       "Job Complete.\n1234 : sent\n",
       "",
       [](CliTemplates& t) { EXPECT_EQ(t.terminal->templateBytes("1234", 0), kTemplate); }},
      {"send every cardholder with a template",
       {"send", "127.0.0.1", "--all"},
       1,
       "Job Complete.\n1234 : sent\n",
       "error: card 77: its template text is no hexadecimal; nothing was sent\n",
       nullptr},
      {"get of every template",
       {"get", "127.0.0.1"},
       0,
       "Job Complete.\n1234 : stored\n0056 : new cardholder\n",
       "",
       [](CliTemplates& t) { EXPECT_EQ(t.Bio("0056"), HexEncode(kTemplate)); }},
      {"remove",
       {"remove", "127.0.0.1", "1234"},
       0,
       "1234 : removed\n",
       "",
       [](CliTemplates& t) { EXPECT_FALSE(t.terminal->templateBytes("1234", 0)); }},
      {"a refused template",
       {"send", "127.0.0.1", "1234", "99"},
       1,
       "Job Complete.\n99 : no template, listed\n",
       "error: card 1234: the terminal refused its template\n",
       nullptr},
      {"a serial terminal",
       {"get", "5"},
       1,
       "",
       "warning: Fingerprint templates travel over the network only",
       nullptr},
      {"send without cards", {"send", "127.0.0.1"}, 2, "", "give the cards, or --all", nullptr},
      {"send of cards and --all", {"send", "127.0.0.1", "1", "--all"}, 2, "", "not both", nullptr},
      {"remove without cards", {"remove", "127.0.0.1"}, 2, "", "CARD is required", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.name == "get of every template") terminal->setTemplate("56", 0, kTemplate);
    if (c.name == "a refused template") terminal->refuseTemplateBytes("1234");
    Strings args{"--folder", dir.Path(), "templates"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), c.rc) << err.str();
    EXPECT_EQ(out.str(), c.out);
    if (c.errPart.empty())
      EXPECT_EQ(err.str(), "");
    else
      EXPECT_NE(err.str().find(c.errPart), std::string::npos) << err.str();
    if (c.check) c.check(*this);
  }
}

}  // namespace
}  // namespace korvo
