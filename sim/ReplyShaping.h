#pragma once

#include <string>

#include "Faults.h"
#include "Reply.h"

namespace korvosim {

// The bytes a text line carries for a reply once the faults are applied (without delays and drops, which the
// front ends schedule themselves).
std::string shapeReply(const Reply& reply, const Faults& faults);

// Digits and line ends: a filler that never holds a completion token.
std::string fillerText(std::size_t bytes);
// Line noise without any completion token or frame start.
std::string noiseBytes();

}  // namespace korvosim
