// An online transaction line as a networked terminal pushes it: cut with any card digits, and its time
// turned into the stored form. The fields must give back the line exactly, and a stored time must be a
// real date.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "collect/OnlineLine.h"
#include "store/Database.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int cardDigits = static_cast<int>(data[0] % 24) - 2;  // a few negative counts too
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  const TOnlineLine f = CutOnlineLine(line, cardDigits);
  const std::string joined = f.termNo + f.cardNo + f.year + f.month + f.day + f.hour + f.minute + f.second +
                             f.dirFlag + f.eventFlag + f.functionCode;
  if (joined != line) __builtin_trap();
  try {
    const std::string stored = ToStoredTime(f.TimeText());
    if (stored.size() != 19 || stored[4] != '-' || stored[10] != ' ') __builtin_trap();
  } catch (const std::exception&) {
  }
  return 0;
}
