#include <gtest/gtest.h>

#include <cstdio>

#include "Terminal.h"
#include "TestSupport.h"

using namespace korvosim;
using simtest::contains;
using simtest::words;

namespace {

struct TerminalFilesTest : ::testing::Test {
  Terminal terminal;
  SessionState session;
  std::string run(const std::string& line) { return terminal.execute(line, session, Transport::Tcp).text; }
};

TEST_F(TerminalFilesTest, LoadedRecordsAreTypedBackInOrderEndingWithTheEndMark) {
  EXPECT_EQ(run("LOCKSYS"), "OK\r\n");
  EXPECT_EQ(run("DELFILE SYSTEM\\BLGROUP.DAT"), "FAIL\r\n");  // nothing to delete yet
  EXPECT_EQ(run("LOAD SYSTEM\\BLGROUP.DAT"), "OK\r\n");
  std::vector<std::string> sent;
  for (int i = 0; i < 100; ++i) {
    char rec[16];
    std::snprintf(rec, sizeof rec, "%09d", 700000 + i);
    sent.push_back(rec);
    ASSERT_EQ(run(rec), "Record\r\n");
    // The serial line sends a logon line after every command text; it is no record.
    ASSERT_EQ(run("SETLOGON 0"), "OK\r\n");
  }
  EXPECT_EQ(run("*"), "OK\r\n");
  EXPECT_EQ(run("UNLOCKSYS"), "OK\r\n");
  EXPECT_EQ(terminal.file("SYSTEM\\BLGROUP.DAT"), sent);

  std::string expected;
  for (const auto& r : sent) expected += r + "\r\n";
  EXPECT_EQ(run("TYPE SYSTEM\\BLGROUP.DAT"), expected + "*\r\n");
  EXPECT_EQ(run("type system/blgroup.dat"), expected + "*\r\n");  // same file in any spelling
}

TEST_F(TerminalFilesTest, RecordsKeepTheirBlanksAndAnEmptyLoadMakesAnEmptyFile) {
  run("LOAD SYSTEM\\AXMSGTB.DAT");
  run("000700815Welcome         ");
  run("*");
  EXPECT_EQ(terminal.file("SYSTEM\\AXMSGTB.DAT"), std::vector<std::string>{"000700815Welcome         "});
  run("LOAD SYSTEM\\AXMSGTB.DAT");  // a new load replaces the file
  run("*");
  EXPECT_TRUE(terminal.hasFile("SYSTEM\\AXMSGTB.DAT"));
  EXPECT_TRUE(terminal.file("SYSTEM\\AXMSGTB.DAT").empty());
  EXPECT_EQ(run("TYPE SYSTEM\\AXMSGTB.DAT"), "*\r\n");
}

TEST_F(TerminalFilesTest, TransListingHasFourHeaderWordsThenNameCountAndStateTriples) {
  terminal.setFile("TRANS\\020124.DAT", {"000408173083000I0000", "000408173170000O0000"});
  terminal.setFile("TRANS\\311223.DAT", {"000408173083000I0000"});
  terminal.setFile("TRANS\\NOTES.TXT", {"x"});
  const auto w = words(run("DIR TRANS"));
  ASSERT_EQ(w.size(), 4u + 9u + 1u);
  EXPECT_EQ(w[0], "TRANS");
  // By date, not by name: 31 Dec 2023 before 2 Jan 2024.
  EXPECT_EQ(std::vector<std::string>(w.begin() + 4, w.end()),
            (std::vector<std::string>{"311223.DAT", "1", "NEW", "020124.DAT", "2", "NEW", "NOTES.TXT", "1",
                                      "NEW", "*"}));
  EXPECT_EQ(run("FLAGTRANS 020124.DAT"), "OK\r\n");
  EXPECT_EQ(run("FLAGTRANS 030124.DAT"), "FAIL\r\n");
  EXPECT_TRUE(terminal.fileFlagged("TRANS\\020124.DAT"));
  EXPECT_TRUE(contains(run("DIR TRANS"), "020124.DAT 2 FLAGGED\r\n"));
  // Every file of the folder, in date order, one line each.
  EXPECT_EQ(run("TYPE TRANS\\"),
            "000408173083000I0000\r\n000408173083000I0000\r\n000408173170000O0000\r\nx\r\n*\r\n");
  EXPECT_EQ(run("TYPE TRANS\\020124.DAT"), "000408173083000I0000\r\n000408173170000O0000\r\n*\r\n");
}

TEST_F(TerminalFilesTest, RemovingAndMakingTransEmptiesIt) {
  terminal.setFile("TRANS\\020124.DAT", {"000408173083000I0000"});
  EXPECT_EQ(run("RMDIR TRANS"), "OK\r\n");
  EXPECT_EQ(run("DIR TRANS"), "DIRECTORY NOT FOUND ?*\r\n");
  EXPECT_EQ(run("RMDIR TRANS"), "FAIL\r\n");
  EXPECT_EQ(run("MKDIR TRANS"), "OK\r\n");
  EXPECT_EQ(run("MKDIR TRANS"), "FAIL\r\n");
  EXPECT_EQ(words(run("DIR TRANS")), (std::vector<std::string>{"TRANS", "0", "Bytes", "Used", "*"}));
  EXPECT_FALSE(terminal.hasFile("TRANS\\020124.DAT"));
}

TEST_F(TerminalFilesTest, SystemListingHasThreeHeaderWordsThenSixWordsAFile) {
  terminal.setFile("SYSTEM\\HOLITBL.DAT", {"0101", "1108", "2512"});
  terminal.setFile("SYSTEM\\AXTIMET.DAT", {"080000170000124"});
  const auto w = words(run("DIR SYSTEM"));
  ASSERT_EQ(w.size(), 3u + 12u + 1u);
  EXPECT_EQ(std::vector<std::string>(w.begin(), w.begin() + 3),
            (std::vector<std::string>{"SYSTEM", "35", "Bytes"}));
  EXPECT_EQ(std::vector<std::string>(w.begin() + 3, w.begin() + 9),
            (std::vector<std::string>{"AXTIMET.DAT", "17", "Bytes", "1", "x", "15"}));
  EXPECT_EQ(std::vector<std::string>(w.begin() + 9, w.begin() + 15),
            (std::vector<std::string>{"HOLITBL.DAT", "18", "Bytes", "3", "x", "4"}));
}

TEST_F(TerminalFilesTest, AddRecAppendsToATopLevelTable) {
  EXPECT_EQ(run("ADDREC IDLOOKUP E0001000700815"), "OK\r\n");
  EXPECT_EQ(run("ADDREC IDLOOKUP E0002000700816"), "OK\r\n");
  EXPECT_EQ(run("ADDREC IDLOOKUP"), "? FAIL\r\n");
  EXPECT_EQ(terminal.file("IDLOOKUP"), (std::vector<std::string>{"E0001000700815", "E0002000700816"}));
  EXPECT_EQ(run("TYPE IDLOOKUP"), "E0001000700815\r\nE0002000700816\r\n*\r\n");
  EXPECT_EQ(run("DELFILE IDLOOKUP"), "OK\r\n");
  EXPECT_FALSE(terminal.hasFile("IDLOOKUP"));
  const auto root = words(run("DIR"));
  EXPECT_EQ(root[0], "ROOT");
  EXPECT_NE(std::find(root.begin(), root.end(), "TRANS\\"), root.end());
}

TEST_F(TerminalFilesTest, TypeOfAMissingFileEndsWithQuestionMarkAndEndMark) {
  const std::string r = run("TYPE SYSTEM\\NOPE.DAT");
  EXPECT_EQ(r, "FILE NOT FOUND ?*\r\n");
  EXPECT_EQ(run("TYPE"), "FILE NOT FOUND ?*\r\n");
  EXPECT_EQ(run("LOAD NOFOLDER\\X.DAT"), "FAIL\r\n");
  EXPECT_FALSE(terminal.loading());
}

}  // namespace
