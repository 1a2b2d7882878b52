#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/TemplateText.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(TemplateTextTest, PiecesFollowTheEightHundredCharacterRule) {
  const std::string a(768, 'A'), b(768, 'B');
  struct TCase {
    std::string text;
    Strings pieces;
  };
  const std::vector<TCase> cases = {
      {"", {""}},
      {std::string(800, 'C'), {std::string(800, 'C')}},
      {a + "+" + std::string(32, 'D'), {a, std::string(32, 'D')}},  // 801: characters 770 to 801
      {a + "+" + b, {a, b}},
      {a + "+" + b + "EE", {a, b}},  // what lies past character 1537 is not sent
  };
  for (const auto& c : cases) EXPECT_EQ(TemplatePieces(c.text), c.pieces) << c.text.size();
  EXPECT_EQ(*DecodeTemplatePieces("00FF0D0A"), Strings{std::string("\0\xff\r\n", 4)});
  EXPECT_FALSE(DecodeTemplatePieces("00+FF")) << "two short templates joined stay one piece, not hex";
  EXPECT_FALSE(DecodeTemplatePieces(a + "+" + std::string(767, 'B') + "G"));
}

TEST(TemplateTextTest, TheTableListingGivesOneRequestPerWordWithACard) {
  using E = TTableEntry;
  EXPECT_EQ(TemplateTableEntries("OK\r00001234:1 00001234:0 \r"),
            (std::vector<E>{{"00001234", "0"}, {"00001234", "1"}}));
  EXPECT_EQ(TemplateTableEntries("ok\r77:x:1,5:0 \r"), (std::vector<E>{{"5", "0"}, {"77", "1"}}));
  // The words of an empty table, a read that ran out, and a listing's end name no template.
  for (const char* reply : {"OK\rTMPTABLE NOT FOUND ?* \r", "OK\r-- \r", "OK\r* \r", "OK\r:0 12: \r", ""})
    EXPECT_TRUE(TemplateTableEntries(reply).empty()) << reply;
  EXPECT_TRUE(TemplateTableRanOut("OK\r-- \r"));
  EXPECT_TRUE(TemplateTableRanOut("-- \r-- \r"));
  EXPECT_FALSE(TemplateTableRanOut("-- \r1:0 \r"));
  EXPECT_FALSE(TemplateTableRanOut("OK\r1:0 -- \r"));
}

TEST(TemplateTextTest, RepliesNumbersAndFetchedTemplates) {
  EXPECT_TRUE(IsOkReply(" ok\r"));
  EXPECT_FALSE(IsOkReply("OK OK\r"));
  EXPECT_EQ(ReplyInteger("2\r"), 2);
  EXPECT_EQ(ReplyInteger(" +3 "), 3);
  for (const char* text : {"", "--\r\n", "2x", "many"}) EXPECT_FALSE(ReplyInteger(text)) << text;
  std::string hex;
  for (int i = 0; i < 384; ++i) hex += "0A";
  EXPECT_EQ(FetchedTemplateText(std::string(384, '\n')), hex);
  EXPECT_FALSE(FetchedTemplateText("--\r\n"));
  EXPECT_FALSE(FetchedTemplateText(std::string(383, 'x')));
}

TEST(TemplateTextTest, MergingJoinsACardsTemplatesOnlyWhenAllArrived) {
  const std::vector<TFetched> fetched = {{"1", "AA"}, {"1", "BB"}, {"2", "CC"},        {"3", std::nullopt},
                                         {"3", "DD"}, {"4", "EE"}, {"4", std::nullopt}};
  const std::vector<TFetched> merged = MergeFetched(fetched);
  ASSERT_EQ(merged.size(), 4u);
  EXPECT_EQ(merged[0].text, "AA+BB");
  EXPECT_EQ(merged[1].text, "CC");
  EXPECT_FALSE(merged[2].text);
  EXPECT_FALSE(merged[3].text);
  EXPECT_EQ(SortedList({"b", "A", "a", "B", "a", ""}), (Strings{"", "A", "a", "b", "B"}));
  EXPECT_EQ(SortLines({"12", "", "12"}), (Strings{"", "12", "12"}));
}

}  // namespace
}  // namespace korvo
