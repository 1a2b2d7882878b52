// Serial replies, plain and framed with their "5A" continuation blocks, through the whole
// conversation, and the frame readers on their own.
#include "FuzzLink.h"
#include "link/LinkServices.h"
#include "link/SerialFrame.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)FramedReplyComplete(text);
  (void)FramedReplyData(text);
  (void)FramedReplyContinues(text);
  try {
    (void)BusAddressOf(text);
  } catch (const TConvertError&) {
  }
  static const char* const kCommands[] = {"GETVER",      "TYPE TRANS\\010124.DAT", "DIR TRANS",
                                          "TMPDATA 1 0", "PAR 7\rPAR 30",          "ADDREC HOLITBL 0101"};
  fuzz::TByteSource source(data + 1, size - 1);
  fuzz::TFuzzLink f(source, "1");
  const std::string reply = SendCommand(f.link, "1", kCommands[data[0] % 6]);
  if (reply.empty()) __builtin_trap();  // every line has an entry, "--" at least
  return 0;
}
