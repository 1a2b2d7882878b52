// "DIR TRANS" and TYPE listings: the folder listing, the records with the file's date put in, the
// whole words of a cut listing, and the reply tokens and parameter values under them.
#include "collect/TransactionDownload.h"
#include "collect/TransactionRecord.h"
#include "link/ReplyTokens.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const auto& e : ParseTransListing(text)) (void)e.IsTransactionFile();
  const std::string prefix = text.substr(0, std::min<std::size_t>(6, text.size()));
  const std::string records = InsertFileDate(prefix, text);
  // Every record is one word of the listing with the date put in after its ninth character.
  std::size_t words = 0;
  for (const auto& w : SplitReplyTokens(text)) words += w != "*";
  std::size_t lines = 0;
  for (std::size_t at = records.find("\r\n"); at != std::string::npos; at = records.find("\r\n", at + 2))
    ++lines;
  if (lines < words) __builtin_trap();
  (void)WholeWordsOfCutReply(text);
  (void)ParameterValue(text);
  (void)CardDigitsOf(text);
  return 0;
}
