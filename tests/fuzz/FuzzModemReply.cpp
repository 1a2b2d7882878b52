// The modem's answers: to its commands, to dialling ("CONNECT", "BUSY", anything else) and to the
// command lines of a call.
#include "FuzzLink.h"
#include "link/LinkServices.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  fuzz::TByteSource source(data + 1, size - 1);
  const std::string address = "5551234-9600";
  fuzz::TFuzzLink f(source, address);
  if (data[0] & 1) {
    (void)WaitModemReply(f.link, "ATV1^ATE0^");
  } else {
    (void)SendCommand(f.link, address, data[0] & 2 ? "TYPE TRANS\\010124.DAT" : "GETVER");
  }
  return 0;
}
