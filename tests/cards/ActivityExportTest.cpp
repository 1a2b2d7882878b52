#include <gtest/gtest.h>

#include "ActivityFixture.h"
#include "cards/ActivityExport.h"

namespace korvo {
namespace {

class ActivityExport : public test::TActivityFixture {
 protected:
  TSaveResult Save(TActivitySaveType type, const std::string& name, const TActivityRun& run = {},
                   const std::string& format = "CYMDHNSR") {
    return SaveActivities(dm->ADOC, run, type, dir.File(name), format, {2026, 12, 9});
  }
  std::string ReadDbf(const std::string& path) {
    return Python(
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
        "print(t.header.dbversion, t.header.recordlen, ' '.join(f.name for f in t.fields))\n"
        "for r in t: print('|'.join(str(v) for v in r.values()))\n",
        path);
  }
};

TEST_F(ActivityExport, DialogFilterHintAndNames) {
  EXPECT_EQ(ActivitySaveFilter(),
            "Text Documents (*.txt)|*.txt|DBase File (*.dbf)|*.dbf|DBase FILO File (*.dbf)|*.dbf|CSV File "
            "(*.csv)|*.csv");
  const std::vector<std::optional<TActivitySaveType>> types = {
      std::nullopt,           TActivitySaveType::Text,
      TActivitySaveType::Dbf, TActivitySaveType::Filo,
      TActivitySaveType::Csv, std::nullopt};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(SaveTypeOfFilter(i), types[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(OutputFileHint("C:/out.txt", "CYMDHNSR"), "Output File : C:/out.txt\rTemplate   : CYMDHNSR");
  EXPECT_EQ(SaveFileName(TActivitySaveType::Text, "a.TXT"), "a.TXT.txt");
  EXPECT_EQ(SaveFileName(TActivitySaveType::Text, "a.txt"), "a.txt");
  EXPECT_EQ(SaveFileName(TActivitySaveType::Filo, "r"), "r.dbf");
  EXPECT_EQ(SaveFileName(TActivitySaveType::Csv, "r.csv"), "r.csv");
}

TEST_F(ActivityExport, TextLinesTakeOnlyCapitalsAndKeepTheFunctionCodeAfterSorting) {
  const TActivityRun sorted{TActivityForm::Short, {"408173", "408173", "", "", "None", "None"}, "ftTime"};
  const auto saved = Save(TActivitySaveType::Text, "a.TXT", sorted, "ymd CY/M/D H:N:S,R,I,O,E,F,T,W");
  EXPECT_EQ(saved.path, dir.File("a.TXT.txt"));
  EXPECT_EQ(saved.records, 2);
  EXPECT_EQ(dir.Read("a.TXT.txt"),
            "ymd 2026/12/08 07:58:00,408173,E-17,I,00,00,001,W\r\n"
            "ymd 2026/12/08 17:03:00,408173,E-17,O,01,F1,001,W\r\n");
}

TEST_F(ActivityExport, DbfFiloAndCsvReadBack) {
  const TActivityRun all;
  Save(TActivitySaveType::Dbf, "t", all, "CYMDHNSI");
  EXPECT_EQ(ReadDbf(dir.File("t.dbf")),
            "3 52 FDDATE FCTIME FCIDNUMBER FCSTATUS FNTRNUM FNPROSES FCFKEY\n"
            "2026-12-08|0758|E-17|I|1|0|00\n"
            "2026-12-08|1703|E-17|O|1|0|F1\n"
            "2026-12-08|1310||I|2|0|00\n"
            "2026-12-09|1159||I|1|0|00\n"
            "2026-12-09|1200||O|2|0|00\n");

  dir.Write("f.dbf", "an older file, replaced");
  const auto filo = Save(TActivitySaveType::Filo, "f.dbf", all);
  EXPECT_EQ(filo.records, 4);
  EXPECT_EQ(ReadDbf(filo.path),
            "3 85 FCCARDNO FCIDNO FCNAME FDDATE FCFIRSTIN FCLASTOUT\n"
            "408173|E-17|Zoë \"Z\", Smith|2026-12-08|07:58:00|17:03:00\n"
            "408174|||2026-12-08||13:10:00\n"
            "408175|||2026-12-09|11:59:59|\n"
            "408176|||2026-12-09||12:00:00\n");
  // The location picks the terminal, the ranges of the list as last run narrow it.
  Save(TActivitySaveType::Filo, "g",
       {TActivityForm::View, {"", "", "20261209000000", "20261209235959", "None", "Gate"}, ""});
  EXPECT_EQ(ReadDbf(dir.File("g.dbf")),
            "3 85 FCCARDNO FCIDNO FCNAME FDDATE FCFIRSTIN FCLASTOUT\n408175|||2026-12-09|11:59:59|\n");

  Save(TActivitySaveType::Csv, "c", {TActivityForm::View, {"408173", "408174", "", "", "None", "None"}, ""});
  EXPECT_EQ(
      Python("import sys, csv\n"
             "for r in csv.reader(open(sys.argv[1], encoding='utf-8', newline='')): print('|'.join(r))\n",
             dir.File("c.csv")),
      "Card Number|ID Number|Cardholder|Time|Location|Direction|FKey|Event\n"
      "408173|E-17|Zoë \"Z\", Smith|2026/12/08 07:58:00|Gate|In|00|Access Granted\n"
      "408173|E-17|Zoë \"Z\", Smith|2026/12/08 17:03:00|Gate|Out|F1|Not In Axgroup\n"
      "408174|||2026/12/08 13:10:00|Hall|In|00|Access Granted\n");
}

TEST_F(ActivityExport, AttendanceSingleTimeSplitsAtNoon) {
  struct Case {
    std::string earliest, latest, firstIn, lastOut;
  };
  for (const auto& c : std::vector<Case>{{"07:58:00", "17:03:00", "07:58:00", "17:03:00"},
                                         {"13:10:00", "13:10:00", "", "13:10:00"},
                                         {"11:59:59", "11:59:59", "11:59:59", ""},
                                         {"12:00:00", "12:00:00", "", "12:00:00"}}) {
    const TAttendance a = AttendanceOf(c.earliest, c.latest);
    EXPECT_EQ(a.firstIn, c.firstIn) << c.earliest;
    EXPECT_EQ(a.lastOut, c.lastOut) << c.earliest;
  }
}

TEST_F(ActivityExport, AFileThatCannotBeMadeEndsWithItsError) {
  EXPECT_THROW(Save(TActivitySaveType::Text, "no/such/folder/a"), std::runtime_error);
  EXPECT_THROW(Save(TActivitySaveType::Dbf, "no/such/folder/a"), std::runtime_error);
}

}  // namespace
}  // namespace korvo
