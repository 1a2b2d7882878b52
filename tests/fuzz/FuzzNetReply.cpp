// The network link's readers: reply lines, listings, template blocks, the long text's one line and
// the template transfer's lines and bytes.
#include "FuzzLink.h"
#include "link/LinkServices.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const std::string kLong(320, 'A');
  static const std::string kCommands[] = {
      "GETVER", "DIR TRANS",    "TYPE TRANS\\010124.DAT", "TMPDATA 1 0", "LOAD SYSTEM\\HOLITBL.DAT",
      kLong,    "PAR 7\rPAR 30"};
  fuzz::TByteSource source(data + 2, size - 2);
  const std::string address = data[1] & 1 ? "10.0.0.1@1234" : "10.0.0.1";
  fuzz::TFuzzLink f(source, address);
  const unsigned pick = data[0] % 10;
  if (pick < 7) {
    (void)SendCommand(f.link, address, kCommands[pick]);
  } else if (pick == 7) {
    (void)SendNetCommand(f.link, address, "LOCKSYS\rTYPE TMPTABLE", 1 + data[1] % 4);
  } else if (pick == 8) {
    (void)SendNetCommand(f.link, address, "TMPDATA 1 0");
  } else {
    (void)SendNetCommand(f.link, address, "TMPSAVE 1 0");
  }
  return 0;
}
