#include <gtest/gtest.h>

#include "store/TextCodec.h"

namespace korvo {
namespace {

TEST(TextCodec, XorTextTwiceGivesTheTextBack) {
  for (std::string text : {"Administrator", "Ann", "", "O'Neil 123 ~"}) {
    std::string scrambled = XorText(text, 0xA6);
    if (!text.empty()) {
      EXPECT_NE(scrambled, text);
    }
    EXPECT_EQ(XorText(scrambled, 0xA6), text);
  }
  // 'A' (0x41) XOR 0xA6 is 0xE7, the Windows-1252 'ç'.
  EXPECT_EQ(XorText("A", 0xA6), "\xC3\xA7");
}

TEST(TextCodec, XorTextKeepsTheCharacterCount) {
  // Bytes 0x80..0x9F map to characters beyond Latin-1 and must come back unchanged.
  std::string all;
  for (int c = 0x20; c < 0x7F; ++c) all += static_cast<char>(c);
  std::string scrambled = XorText(all, 0xA6);
  EXPECT_EQ(XorText(scrambled, 0xA6), all);
}

TEST(TextCodec, HexEncodeAndDecode) {
  EXPECT_EQ(HexEncode(std::string("\x00\xAB\xFF", 3)), "00ABFF");
  EXPECT_EQ(HexEncode(""), "");
  EXPECT_EQ(HexDecode("00abff"), std::string("\x00\xAB\xFF", 3));
  EXPECT_EQ(HexDecode("00ABFF"), std::string("\x00\xAB\xFF", 3));
  EXPECT_EQ(HexDecode("41F"), std::string("A\x0F", 2));  // a single trailing digit is read alone
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  EXPECT_EQ(HexDecode(HexEncode(bytes)), bytes);
}

TEST(TextCodec, HexDecodeRefusesOtherCharacters) {
  try {
    HexDecode("00ag");
    FAIL() << "no error";
  } catch (const THexError& e) {
    EXPECT_STREQ(e.what(), "Invalid hex character g");
  }
  EXPECT_THROW(HexDecode("0 "), THexError);
}

}  // namespace
}  // namespace korvo
