// The data loading setup without its window: the output file's extension and the event filter list.
// What OK stores is tested through the window (tests/gui).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/LoadingSetup.h"
#include "support/MainFixture.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(LoadingSetupFile, ExtensionRules) {
  struct TCase {
    const char* type;
    int filter;
    const char* chosen;
    const char* result;
  };
  const TCase cases[] = {
      {"TXT", 0, "/out/trans", "/out/trans.txt"},
      {"TXT", 0, "/out/trans.txt", "/out/trans.txt"},
      {"TXT", 0, "/out/X.TXT", "/out/X.TXT.txt"},  // the test is case-sensitive
      {"TXT", 0, "/out/a.txt.bak", "/out/a.txt.bak"},
      {"TXT", 1, "/out/trans", "/out/trans"},
      {"TXT", 1, "/out/X.TXT", "/out/X.TXT"},
      {"DBF", 0, "b", "b.dbf"},
      {"DBF", 0, "/out/b.dbf", "/out/b.dbf"},
      {"DBF", 0, "/out/B.DBF", "/out/B.DBF.dbf"},
      {"XDBF", 0, "/out/x", "/out/x.dbf"},
      {"", 0, "/out/any", "/out/any"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ChosenOutputFileName(c.type, c.filter, c.chosen), c.result) << c.type << " " << c.chosen;
  EXPECT_EQ(OutputFileFilters("TXT"), (Strings{"Text File (*.txt)", "Other Files (*.*)"}));
  EXPECT_EQ(OutputFileFilters("DBF"), (Strings{"DBase File (*.dbf)"}));
  EXPECT_EQ(OutputFileFilters("XDBF"), (Strings{"DBase File (*.dbf)"}));
  EXPECT_TRUE(NameOptionsApply("TXT"));
  EXPECT_FALSE(NameOptionsApply("DBF") || NameOptionsApply("XDBF") || NameOptionsApply(""));
}

using LoadingSetup = test::TMainFixture;

TEST_F(LoadingSetup, EventRowsAreTickedWhereTheirFlagOccursInTheFilter) {
  dm->ADOC.Execute("INSERT INTO tEventMap VALUES ('0', 'Z', 'Zero')");
  struct TCase {
    const char* filter;
    Strings ticked;
  };
  const TCase cases[] = {
      {"01,05", {"0", "01", "05"}},  // "0" occurs in the text as well
      {"NONE", {}},
      {"", {}},
      {"0900", {"0", "00", "09"}},
  };
  for (const TCase& c : cases) {
    std::vector<TEventFilterRow> rows = EventFilterRows(dm->ADOC, c.filter);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0].text, "  0  Zero");
    EXPECT_EQ(rows[2].text, "  01  Not In Axgroup");
    Strings ticked;
    for (const auto& r : rows)
      if (r.ticked) ticked.push_back(r.flag);
    EXPECT_EQ(ticked, c.ticked) << c.filter;
  }
  EXPECT_EQ(EventFilterText({"01", "05"}), "01,05");
  EXPECT_EQ(EventFilterText({}), "NONE");
}

}  // namespace
}  // namespace korvo
