// HexDecode of any text, and HexEncode undone by it.
#include "store/TextCodec.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)HexDecode(text);
  } catch (const THexError&) {
  }
  if (HexDecode(HexEncode(text)) != text) __builtin_trap();
  (void)TrimControl(text);
  if (XorText(XorText(text, 0x5A), 0x5A) != XorText(XorText(text, 0), 0)) __builtin_trap();
  return 0;
}
