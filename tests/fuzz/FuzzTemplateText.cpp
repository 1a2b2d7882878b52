// Template texts and the terminal's template replies: pieces, decoding, the table listing, a
// fetched block and the answers read as numbers.
#include "store/TextCodec.h"
#include "tables/TemplateText.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto pieces = TemplatePieces(text);
  if (const auto decoded = DecodeTemplatePieces(text)) {
    if (decoded->size() != pieces.size()) __builtin_trap();
  }
  for (const auto& e : TemplateTableEntries(text))
    if (e.card.empty() || e.finger.size() != 1) __builtin_trap();
  (void)TemplateTableRanOut(text);
  if (const auto fetched = FetchedTemplateText(text)) {
    if (HexDecode(*fetched).size() != 384) __builtin_trap();
  }
  (void)IsOkReply(text);
  (void)ReplyInteger(text);
  return 0;
}
