#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "collect/DbfFile.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionOutput.h"
#include "store/UploadConfig.h"
#include "support/MainFixture.h"
#include "support/PythonReader.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class TransactionOutput : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    dm->ADOC.Execute("UPDATE tDirMap SET fsDirCode = 'IN' WHERE fcDirFlag = 'I'");
    dm->ADOC.Execute("INSERT INTO tDirMap VALUES ('07', 'SEVEN', 'Seven')");
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES ('408173', 'E-17', 'Zoë')");
    param.OutputType = "TXT";
    param.OutputFormat = "CYMDHNSR";
  }
  // Writes the records in one job of `calls` terminal outputs; returns the records as they are after.
  Strings Write(Strings records, const std::string& termNo = "001") {
    TTransactionLookups lookups(dm->ADOC);
    TTransactionOutput output(param, "20", {2026, 12, 9});
    TOutputSinks sinks{[&](const std::string& s) { status.push_back(s); },
                       [&](const std::string& s) { log.push_back(s); },
                       [&](const std::string& s) { data.push_back(s); },
                       [&](int p) { progress = p; },
                       {}};
    output.WriteTransactionOutput(records, 6, termNo, lookups, sinks);
    return records;
  }
  // The fields and records of a dBase file as Debian's python3-dbfread reads them.
  std::string ReadDbf(const std::string& path) {
    const std::string script =
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
        "print(t.header.dbversion, t.header.recordlen, t.header.year, t.header.month, t.header.day)\n"
        "print(' '.join('%s:%s%d.%d' % (f.name, f.type, f.length, f.decimal_count) for f in t.fields))\n"
        "for r in t: print('|'.join(repr(v) for v in r.values()))\n";
    return test::RunPythonReader(dir.Path(), script, path);
  }

  TSysParam param;
  Strings status, log, data;
  int progress = 0;
};

const Strings kTwoDays = {"000408173241224153001I0000", "000408174251224080000O0007"};

TEST_F(TransactionOutput, TextTargetsFollowTheNameOptionsAndReportOnlyChanges) {
  struct Case {
    bool date, term;
    std::string name;
    Strings files;
  };
  const std::string folder = dir.Path() + "out.d/";
  std::filesystem::create_directory(folder);
  const std::vector<Case> cases = {
      {true, true, "trans.txt", {"trans24122024_001.txt", "trans25122024_001.txt"}},
      {false, true, "trans.txt", {"trans001.txt"}},
      {true, false, "trans.txt", {"trans24122024.txt", "trans25122024.txt"}},
      {true, false, "trans", {"trans24122024.txt", "trans25122024.txt"}},  // no extension: ".txt"
      {false, false, "plain.log", {"plain.log"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    status.clear();
    log.clear();
    param.DateAsFileName = c.date;
    param.TermNoAsFileExt = c.term;
    param.OutputFileName = folder + c.name;
    const Strings lines = Write(kTwoDays);
    EXPECT_EQ(lines, (Strings{"20241224153001408173", "20241225080000408174"}));
    Strings written;
    for (const auto& e : std::filesystem::directory_iterator(folder)) written.push_back(e.path().filename());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, c.files);
    Strings expectedStatus;
    for (const auto& f : c.files) expectedStatus.push_back("Writing To: " + f);
    EXPECT_EQ(status, expectedStatus);
    EXPECT_EQ(log.size(), c.date || c.term ? c.files.size() : 0u);
  }
  EXPECT_EQ(dir.Read("out.d/plain.log"), "20241224153001408173\r\n20241225080000408174\r\n");
  EXPECT_EQ(data.size(), 10u);
  EXPECT_EQ(progress, 2);
}

TEST_F(TransactionOutput, TheTargetStateSpansTerminalsOfOneJobAndTextIsWindows1252) {
  param.DateAsFileName = true;
  param.OutputFileName = dir.Path() + "t.txt";
  param.OutputFormat = "X,R";
  TTransactionLookups lookups(dm->ADOC);
  TTransactionOutput output(param, "20", {2026, 12, 9});
  TOutputSinks sinks{[&](const std::string& s) { status.push_back(s); }, {}, {}, {}, {}};
  Strings first = {kTwoDays[0]}, second = {kTwoDays[0]};
  output.WriteTransactionOutput(first, 6, "001", lookups, sinks);
  output.WriteTransactionOutput(second, 6, "002", lookups, sinks);
  EXPECT_EQ(status, Strings{"Writing To: t24122024.txt"});
  EXPECT_EQ(dir.Read("t24122024.txt"), "Zo\xEB,408173\r\nZo\xEB,408173\r\n");
  param.OutputFileName = "NONE";
  Strings untouched = kTwoDays;
  output.WriteTransactionOutput(untouched, 6, "001", lookups, sinks);
  EXPECT_EQ(untouched, kTwoDays);
}

TEST_F(TransactionOutput, DbfFilesHaveTheLayoutAndAreAppendedTo) {
  param.OutputType = "DBF";
  param.OutputFormat = "CYMDHNSRI";
  param.OutputFileName = dir.Path() + "trans";  // no extension is added
  Write(kTwoDays);
  Write({kTwoDays[0]}, "12");
  EXPECT_FALSE(dir.Exists("trans.dbf"));
  const std::string bytes = dir.Read("trans");
  ASSERT_GT(bytes.size(), 32u);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes.back(), '\x1a');
  EXPECT_EQ(
      ReadDbf(dir.File("trans")),
      "3 52 126 12 9\n"
      "FDDATE:D8.0 FCTIME:C4.0 FCIDNUMBER:C15.0 FCSTATUS:C10.0 FNTRNUM:N3.0 FNPROSES:N1.0 FCFKEY:C10.0\n"
      "datetime.date(2024, 12, 24)|'1530'|'E-17'|'IN'|1|0|'00'\n"
      "datetime.date(2024, 12, 25)|'0800'|''|'O'|1|0|'SEVEN'\n"
      "datetime.date(2024, 12, 24)|'1530'|'E-17'|'IN'|12|0|'00'\n");
  EXPECT_EQ(status, (Strings{"Writing To: trans", "Writing To: trans"}));
  EXPECT_EQ(log, (Strings{"Writing To: " + dir.File("trans"), "Writing To: " + dir.File("trans")}));

  // A small i asks for the card number, like no letter at all.
  param.OutputFormat = "i";
  param.OutputFileName = dir.Path() + "cards.dbf";
  Write({kTwoDays[1]});
  EXPECT_NE(ReadDbf(dir.File("cards.dbf")).find("'408174'"), std::string::npos);
}

TEST_F(TransactionOutput, XdbfPutsTheFunctionIntoTheStatusUnlessItIs00) {
  param.OutputType = "XDBF";
  param.OutputFileName = dir.Path() + "x.dbf";
  Write(kTwoDays);
  EXPECT_EQ(ReadDbf(dir.File("x.dbf")),
            "3 42 126 12 9\n"
            "FDDATE:D8.0 FCTIME:C4.0 FCIDNUMBER:C15.0 FCSTATUS:C10.0 FNTRNUM:N3.0 FNPROSES:N1.0\n"
            "datetime.date(2024, 12, 24)|'1530'|'408173'|'IN'|1|0\n"
            "datetime.date(2024, 12, 25)|'0800'|'408174'|'SEVEN'|1|0\n");
}

TEST_F(TransactionOutput, AnExistingTableWithOtherFieldsGetsOnlyTheMatchingOnes) {
  const std::string path = dir.Path() + "own.dbf";
  ASSERT_TRUE(TDbfFile::Create(path, {{"fctime", 'N', 6, 1}, {"NOTE", 'C', 5, 0}, {"FNTRNUM", 'C', 2, 0}},
                               2020, 1, 2));
  param.OutputType = "DBF";
  param.OutputFileName = path;
  Write({kTwoDays[0]}, "123");
  EXPECT_EQ(ReadDbf(path),
            "3 14 126 12 9\n"
            "fctime:N6.1 NOTE:C5.0 FNTRNUM:C2.0\n"
            "1530.0|''|'12'\n");
}

// Tables larger than the writer's buffer, written in one go and appended to after reopening: every
// record lands at its place, the count in the header is right and the end mark closes the file.
TEST(DbfTableTest, LargeTablesAreWholeAfterWritingAndAppending) {
  test::TTempFolder dir;
  const std::string path = dir.File("big.dbf");
  const int first = 30000;  // about 1.3 MB, past the 1 MiB the writer keeps in memory
  ASSERT_TRUE(
      TDbfFile::Create(path, {{"CARD", 'C', 10, 0}, {"N", 'N', 6, 0}, {"D", 'D', 8, 0}}, 2026, 12, 9));
  for (int round = 0; round < 2; ++round) {
    auto table = TDbfFile::Open(path, 2026, 12, 10);
    ASSERT_TRUE(table);
    const int from = table->RecordCount(), to = round == 0 ? first : first + 1;
    for (int i = from; i < to; ++i)
      table->Append({{"card", "C" + std::to_string(i)}, {"N", std::to_string(i)}, {"D", "20261209"}});
  }
  const std::string bytes = dir.Read("big.dbf");
  ASSERT_GT(bytes.size(), 32u);
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  const std::uint32_t count = u16(4) | static_cast<std::uint32_t>(u16(6)) << 16;
  const std::size_t header = u16(8), length = u16(10);
  EXPECT_EQ(count, static_cast<std::uint32_t>(first + 1));
  EXPECT_EQ(length, 1u + 10 + 6 + 8);
  ASSERT_EQ(bytes.size(), header + count * length + 1);
  EXPECT_EQ(bytes.back(), '\x1a');
  EXPECT_EQ(static_cast<int>(bytes[1]), 126);
  EXPECT_EQ(static_cast<int>(bytes[3]), 10) << "the day of the last change";
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string card = "C" + std::to_string(i), number = std::to_string(i);
    card.resize(10, ' ');
    number.insert(0, 6 - number.size(), ' ');
    ASSERT_EQ(bytes.substr(header + i * length, length), " " + card + number + "20261209") << i;
  }
}

TEST(DbfFieldBytesTest, ValuesAreFittedToTheirFields) {
  const std::vector<std::tuple<TDbfField, std::string, std::string>> cases = {
      {{"A", 'C', 4, 0}, "ab", "ab  "},          {{"A", 'C', 4, 0}, "abcdef", "abcd"},
      {{"A", 'C', 2, 0}, "\xC3\xAB!", "\xEB!"},  {{"A", 'N', 3, 0}, "001", "  1"},
      {{"A", 'N', 3, 0}, "1234", "***"},         {{"A", 'N', 3, 0}, "x1", "   "},
      {{"A", 'N', 6, 2}, "3.5", "  3.50"},       {{"A", 'D', 8, 0}, "20241224", "20241224"},
      {{"A", 'D', 8, 0}, "2024122", "        "},
  };
  for (const auto& [field, value, bytes] : cases) EXPECT_EQ(DbfFieldBytes(field, value), bytes) << value;
}

}  // namespace
}  // namespace korvo
