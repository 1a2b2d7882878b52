// How the console lays out replies: the first layout that applies to the command wins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ConsoleLayouts.h"
#include "tools/DirectComm.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

struct TLayoutCase {
  std::string name;
  std::string command;  // upper-cased, as sent
  std::string reply;
  Strings shown;
  bool boxEmpty = false;
};

TEST(ConsoleLayouts, FirstLayoutThatAppliesWins) {
  const std::vector<TLayoutCase> cases = {
      {"parameters", "LISTPAR", "PAR 1 5 PAR 2 7", {"PAR 1 5 ", "PAR 2 7"}},
      {"transaction listing", "TYPE TRANS\\", "0101 0202 *", {"0101", "0202", "*"}},
      {"TRANS file without the backslash is another file", "TYPE TRANS010124.DAT", "0101 0202 *", {}},
      {"another file that is missing",
       "TYPE SYSTEM\\NOFILE.DAT",
       "FILE NOT FOUND ?*",
       {"FILE NOT FOUND ?* "}},
      {"table file", "TYPE SYSTEM\\HOLITBL.DAT", "0101,0202 *", {"0101", "0202", "*"}},
      {"no templates", "TYPE TMPTABLE", "TMPTABLE NOT FOUND ?*", {"TMPTABLE NOT FOUND"}},
      {"templates", "TYPE TMPTABLE", "00001234:0 00001234:1 *", {"00001234:0", "00001234:1", "*"}},
      {"empty box", "", "OK\rREADY\r", {"OKREADY"}, true},
      {"system log deleted", "DELFILE SYSLOGDAT", "  OK \r", {"OK"}},
      {"system log",
       "SYSLOGDAT",
       "01/02/24 10:00:00 DOOR OPEN 02/02/24 11:30:00 ALARM 2 Records",
       {"", "01/02/24 10:00:00 DOOR OPEN ", "02/02/24 11:30:00 ALARM ", "2 Records"}},
      {"empty system log", "TYPE SYSLOGDAT", "0 Records", {"0 Records"}},
      {"folder listing in groups of three",
       "DIR TRANS",
       "TRANS 120 Bytes Used 010124.DAT 5 NEW 020124.DAT 3 FLAGGED *",
       {"TRANS 120 Bytes Used", "010124.DAT 5 NEW", "020124.DAT 3 FLAGGED"}},
      {"DIR inside a longer word", "REDIRECT", "A B C D E F G H", {"A B C D", "E F G"}},
      {"short DIR: one word a line",
       "DIR",
       "ROOT 100 Bytes Used TRANS\\ SYSTEM\\ *",
       {"ROOT 100 Bytes Used", "TRANS\\", "SYSTEM\\", "*"}},
      {"anything else", "SETLOGON 0", "OK\r", {"OK"}},
  };
  for (const auto& c : cases) {
    TResultList list;
    ShowReply(c.command, c.boxEmpty, c.reply, list);
    EXPECT_EQ(list.Lines(), c.shown) << c.name;
  }
}

TEST(ConsoleLayouts, ShortRepliesRaise) {
  const Strings commands = {"DIR TRANS", "DIR", "TYPE TMPTABLE", "SYSLOGDAT", "TYPE X"};
  const Strings replies = {"-- *", "--", "A ?", "5", ""};
  for (std::size_t i = 0; i < commands.size(); ++i) {
    TResultList list;
    EXPECT_THROW(ShowReply(commands[i], false, replies[i], list), TShortReplyError) << commands[i];
  }
}

TEST(ConsoleLayouts, LongTransactionListingsStartAfresh) {
  for (const auto& [before, after] : std::vector<std::pair<int, int>>{{30001, 1}, {30000, 30001}}) {
    TResultList list;
    for (int i = 0; i < before; ++i) list.Add("x");
    int between = 0;
    ShowReply("TYPE TRANS\\", false, "NEW", list, [&] { ++between; });
    EXPECT_EQ(list.Count(), after) << before;
    EXPECT_EQ(list.Lines().back(), "NEW");
    EXPECT_EQ(between, 1);
  }
}

TEST(ConsoleLayouts, SystemFolderShowsCompleteGroupsOnly) {
  TResultList list;
  ShowSystemFolder("SYSTEM 300 Bytes EXPDATE.DAT 40 Bytes 4 x 10 FKEYTAB.DAT 60 Bytes 6 x 10 *", list);
  EXPECT_EQ(list.Lines(), (Strings{"Used 300 Bytes                           --> SYSTEM ",
                                   "Used     40 Bytes, 4 x 10 --> EXPDATE.DAT",
                                   "Used     60 Bytes, 6 x 10 --> FKEYTAB.DAT"}));
  TResultList empty;
  ShowSystemFolder("SYSTEM 0 Bytes *", empty);
  EXPECT_EQ(empty.Lines(), Strings{"Used 0 Bytes                           --> SYSTEM "});
}

TEST(ConsoleLayouts, SavedNamesAndLineEnds) {
  EXPECT_EQ(ResultFileName("/tmp/out.TXT"), "/tmp/out.TXT.txt");
  EXPECT_EQ(ResultFileName("/tmp/out.txt"), "/tmp/out.txt");
  EXPECT_EQ(ResultFileName("/tmp/out"), "/tmp/out.txt");
}

}  // namespace
}  // namespace korvo
