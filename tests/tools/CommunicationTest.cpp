// The terminal list as the Communication window and the command line edit it, and the link test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "store/DataMod.h"
#include "support/NetTestSupport.h"
#include "tools/Communication.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class Communication : public test::TNetFixture {
 protected:
  Strings Stored() {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT fsAddr, fsTermNo, fsLocation, fnPort, typeof(fnPort) FROM tTerminals ORDER BY fsAddr");
    q.Open();
    Strings rows;
    for (q.First(); !q.Eof(); q.Next()) {
      std::string row;
      for (int i = 0; i < 5; ++i) row += (i ? "|" : "") + q.Field(i).AsString();
      rows.push_back(row);
    }
    return rows;
  }
  void Add(const TTerminalFields& f) {
    table.Insert();
    table.SetValue(table.Current(), 0, f.address);
    table.SetValue(table.Current(), 1, f.termNo);
    table.SetValue(table.Current(), 2, f.location);
    table.SetValue(table.Current(), 3, f.port);
    table.Post();
  }
  TMappingTable table{dm.ADOC, kTerminalsTable};
};

TEST_F(Communication, RowsKeepTheirOtherFieldsAndDuplicatesStayInEdit) {
  AddTerminal("5", 1);
  dm.ADOC.Execute("UPDATE tTerminals SET fmHoliday = '0101' WHERE fsAddr = '5'");
  table.Refresh();
  Add({"3", "003", "Gate", "2"});
  Add({"127.0.0.1", "001", "Door", ""});
  EXPECT_EQ(Stored(),
            (Strings{"127.0.0.1|001|Door|0|integer", "3|003|Gate|2|integer", "5|001|Gate|1|integer"}));

  // Editing a row changes its four fields only.
  table.MoveTo(2);
  table.SetValue(2, 0, "6");
  table.SetValue(2, 2, "Hall");
  table.Post();
  TQuery q(dm.ADOC);
  q.SetSQL("SELECT fmHoliday FROM tTerminals WHERE fsAddr = '6'");
  q.Open();
  EXPECT_EQ(q.Field(0).AsString(), "0101");

  // A duplicate address is refused by the database and the row stays in its edit.
  table.SetValue(2, 0, "3");
  EXPECT_THROW(table.Post(), TDbError);
  EXPECT_EQ(table.State(), TMappingTable::TState::Edit);
  EXPECT_EQ(table.Row(2)[0], "3");
  table.Cancel();
  // So is a port that is no number.
  table.SetValue(2, 3, "COM1");
  EXPECT_THROW(table.Post(), TDbError);
  EXPECT_EQ(table.State(), TMappingTable::TState::Edit);
  table.Cancel();
  table.Delete();
  EXPECT_EQ(Stored(), (Strings{"127.0.0.1|001|Door|0|integer", "3|003|Gate|2|integer"}));
}

TEST_F(Communication, FieldLimitsAndLocationWarnings) {
  const std::vector<std::pair<TTerminalFields, std::string>> refusals = {
      {{"", "1", "A", "1"}, "The address must have a value."},
      {{std::string(51, '1'), "1", "A", "1"},
       "The address " + std::string(51, '1') + " is longer than 50 characters."},
      {{"1", "1234", "A", "1"}, "The terminal number 1234 is longer than 3 characters."},
      {{"1", "1", "Sixteen letters!", "1"}, "The location Sixteen letters! is longer than 15 characters."},
      {{"1", "1", "A", "x1"}, "The port x1 is no whole number."},
  };
  for (const auto& [fields, why] : refusals) EXPECT_EQ(RefuseTerminalFields(fields).value_or("none"), why);
  EXPECT_FALSE(RefuseTerminalFields({std::string(50, '1'), "123", "Fünfzehn Zeich", "+7"}));

  AddTerminal("1", 1);  // "Gate"
  AddTerminal("2", 1);  // "Gate"
  dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsLocation) VALUES ('3', ' ')");
  dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsLocation) VALUES ('4', 'Hall')");
  EXPECT_EQ(LocationWarning(dm.ADOC, "1").value_or("none"),
            "The location Gate of the terminal 1 is also the location of the terminal 2: the windows name "
            "terminals by it.");
  EXPECT_EQ(LocationWarning(dm.ADOC, "3").value_or("none"),
            "The terminal 3 has no location: the windows name terminals by it.");
  EXPECT_FALSE(LocationWarning(dm.ADOC, "4"));
  EXPECT_FALSE(LocationWarning(dm.ADOC, "9"));
}

TEST_F(Communication, TestLooksForTheProductWordInAnyCase) {
  korvosim::TcpFront tcp;
  auto terminal = std::make_shared<korvosim::Terminal>();
  AddTerminal("127.0.0.1", tcp.add(terminal));
  const std::vector<std::pair<std::string, std::string>> cases = {{"korvo2k/bio Ver 2.00", "information"},
                                                                  {"KORVO2K/Bio Ver 2.00", "information"},
                                                                  {"OTHER 1.0", "error"}};
  for (const auto& [version, kind] : cases) {
    terminal->setVersion(version);
    ui.calls.clear();
    EXPECT_EQ(TestCommunication(dm.Link, ui, "127.0.0.1"), kind == "information") << version;
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].kind, kind);
    EXPECT_EQ(ui.calls[0].text, kind == "information" ? "Communication OK" : "Communication Error");
  }
}

}  // namespace
}  // namespace korvo
