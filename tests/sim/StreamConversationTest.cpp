#include <gtest/gtest.h>

#include "StreamConversation.h"

using namespace korvosim;

namespace {

struct StreamConversationTest : ::testing::Test {
  std::shared_ptr<Terminal> terminal = std::make_shared<Terminal>();
  StreamConversation conversation{terminal, Transport::Tcp};
  SteadyClock::time_point t0 = SteadyClock::now();

  std::vector<std::string> commands(const std::vector<Exchange>& ex) {
    std::vector<std::string> out;
    for (const auto& e : ex) out.push_back(e.command);
    return out;
  }
};

TEST_F(StreamConversationTest, CrLfCrAndLfEndLinesAlsoWhenSplitBetweenReads) {
  auto a = conversation.feed("GETVER\r", t0);
  auto b = conversation.feed("\nPAR 7\nFINGERS\r\n\r\n", t0);
  EXPECT_EQ(commands(a), std::vector<std::string>{"GETVER"});
  // The LF that finished the first CR LF is no empty line; the last CR LF pair is one empty line.
  EXPECT_EQ(commands(b), (std::vector<std::string>{"PAR 7", "FINGERS", ""}));
  EXPECT_EQ(b[2].reply.text, "--\r\n");
  EXPECT_FALSE(conversation.deadline());
}

TEST_F(StreamConversationTest, TextWithoutLineEndIsACommandOnceQuiet) {
  const std::string longText = "PAR 312 " + std::string(300, 'x');
  EXPECT_TRUE(conversation.feed(longText.substr(0, 150), t0).empty());
  EXPECT_TRUE(conversation.feed(longText.substr(150), t0 + std::chrono::milliseconds(5)).empty());
  ASSERT_TRUE(conversation.deadline());
  EXPECT_TRUE(conversation.expire(t0 + std::chrono::milliseconds(100)).empty());
  auto done = conversation.expire(t0 + std::chrono::milliseconds(200));
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].channel, Channel::Raw);
  EXPECT_EQ(done[0].reply.text, "OK\r\n");
  EXPECT_EQ(terminal->param(312), std::string(300, 'x'));
}

TEST_F(StreamConversationTest, TemplateBytesAfterTmpSaveAreRawIncludingLineEndsAndNul) {
  auto first = conversation.feed("TMPSAVE 1234\r\n", t0);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].reply.text, "OK\r\n");
  std::string bytes = std::string("\r\n\0*OK", 6) + std::string(378, '\n');
  EXPECT_TRUE(conversation.feed(bytes.substr(0, 200), t0).empty());
  EXPECT_TRUE(conversation.feed(bytes.substr(200), t0).empty());
  auto stored = conversation.expire(t0 + std::chrono::milliseconds(150));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].reply.text, "OK\r\n");
  EXPECT_EQ(terminal->templateBytes("1234", 0), bytes);
  // Afterwards lines are commands again.
  EXPECT_EQ(conversation.feed("FINGERS\r\n", t0)[0].reply.text, "1\r\n");
}

}  // namespace
