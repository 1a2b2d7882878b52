#pragma once

#include <memory>

#include "StreamConversation.h"
#include "Transcript.h"

namespace korvosim {

// What every front end that carries the PC's conversations with terminals takes.
struct FrontOptions {
  int throttleBps = 0;  // line rate of what the front end sends the PC (each connection); 0: no limit
  StreamOptions stream;
  std::shared_ptr<Transcript> transcript;  // shared with other front ends, or a new one
};

}  // namespace korvosim
