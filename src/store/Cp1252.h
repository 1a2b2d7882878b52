#pragma once

#include <string>
#include <string_view>

namespace korvo {

// The settings record and the terminal line carry Windows-1252 bytes; inside the program text is
// UTF-8. The five bytes that Windows-1252 leaves undefined map to the C1 code points of the same
// value, so every byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);
// Characters outside Windows-1252 become "?".
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace korvo
