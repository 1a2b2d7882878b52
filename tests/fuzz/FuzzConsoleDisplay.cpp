// The console's display of a terminal reply: the first line of the input is the command, the rest the
// reply. Every layout, and the listing after Delete all, must either show the reply or refuse it as too
// short, and the list never grows past its limit.
#include <cstdint>
#include <string>

#include "tools/ConsoleLayouts.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\n');
  const std::string command = cut == std::string::npos ? input : input.substr(0, cut);
  const std::string reply = cut == std::string::npos ? std::string() : input.substr(cut + 1);
  for (const bool boxEmpty : {false, true}) {
    TResultList list;
    try {
      ShowReply(command, boxEmpty, reply, list);
    } catch (const TShortReplyError&) {
    }
    if (list.Count() > kResultLineLimit + 1) __builtin_trap();
  }
  // Too short a listing is refused the same way; the console shows that as its error.
  TResultList system;
  try {
    ShowSystemFolder(reply, system);
  } catch (const TShortReplyError&) {
  }
  return 0;
}
