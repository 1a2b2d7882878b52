// The data loading setup without its window: the output file's extension, the event filter list and
// what OK stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/LoadingSetup.h"
#include "store/UploadConfig.h"
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

class LoadingSetup : public test::TMainFixture {
 protected:
  bool Save(const TLoadingSetup& setup) {
    return SaveLoadingSetup(setup, dir.Path(), program->SysParam, ui,
                            [this](const std::string& m, bool stamped) { dm->WriteLog(m, stamped); });
  }
  TSysParam Reread() {
    TSysParam p;
    ReadUploadConfig(dir.Path(), p, ui);
    return p;
  }
};

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

TEST_F(LoadingSetup, OkStoresTheFieldsAndLogsDeleteAfterLoad) {
  TLoadingSetup s;
  s.outputType = "DBF";
  s.outputFormat = "DMY";
  s.tickedFlags = {"01", "05"};
  s.deleteAfterLoaded = s.lockTerminal = s.skipDuplicates = s.flagTransaction = true;
  program->SysParam.LoadAllTerminal = true;  // set by the Load Data window, written along
  ASSERT_TRUE(Save(s));
  TSysParam p = Reread();
  EXPECT_EQ(p.OutputType, "DBF");
  EXPECT_EQ(p.OutputFormat, "DMY");
  EXPECT_EQ(p.OutputFileName, "NONE");
  EXPECT_EQ(p.OutputEventFilter, "01,05");
  EXPECT_TRUE(p.DeleteAfterLoaded && p.FlagTransaction && p.SkipDuplicates && p.LoadAllTerminal);
  EXPECT_FALSE(p.RestartAfterLoaded || p.SynchronizeTime || p.TermNoAsFileExt || p.DateAsFileName);
  EXPECT_FALSE(p.LockTerminal) << "never stored";
  EXPECT_TRUE(program->SysParam.LockTerminal);

  s.deleteAfterLoaded = false;
  s.outputFileName = "/out/t.dbf";
  ASSERT_TRUE(Save(s));
  EXPECT_EQ(Reread().OutputFileName, "/out/t.dbf");
  const Strings log = LogMessages();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(Strings(log.end() - 2, log.end()), (Strings{"Data Loading Setup : Delete After Load = True.",
                                                        "Data Loading Setup : Delete After Load = False."}));
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(LoadingSetup, NoTypeIsRefusedAndAMissingFileStillLogs) {
  const std::string before = dir.Read("UPLOAD.CFG");
  TLoadingSetup s;
  s.outputFormat = "changed";
  EXPECT_FALSE(Save(s));
  EXPECT_EQ(ui.Texts("error"), Strings{kNoOutputTypeText});
  EXPECT_EQ(dir.Read("UPLOAD.CFG"), before);
  EXPECT_NE(program->SysParam.OutputFormat, "changed");

  std::remove(dir.File("UPLOAD.CFG").c_str());
  ui.calls.clear();
  s.outputType = "TXT";
  EXPECT_TRUE(Save(s));
  EXPECT_EQ(ui.Texts("warning"), Strings{UploadConfigMissingText(dir.Path())});
  EXPECT_FALSE(dir.Exists("UPLOAD.CFG"));
  EXPECT_EQ(LogMessages().back(), "Data Loading Setup : Delete After Load = False.");
}

}  // namespace
}  // namespace korvo
