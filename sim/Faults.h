#pragma once

#include <cstddef>

namespace korvosim {

// Misbehaviour switched on per terminal on its front end. Several may be on at once.
struct Faults {
  bool silent = false;             // reads commands, never answers
  int delayMs = 0;                 // answers this much later
  bool garbage = false;            // noise bytes go out before every reply
  bool badChecksum = false;        // framed replies carry a wrong checksum
  bool shortFrames = false;        // framed replies lose their last characters
  bool wrongLength = false;        // framed length field larger than the frame
  bool noCompletion = false;       // replies lack their completion token and their last line end
  bool endlessBlocks = false;      // every "5A" is answered "Z" with more data, for ever
  std::size_t hugeReplyBytes = 0;  // every reply becomes this many filler bytes without a stop token

  // TCP only.
  bool refuse = false;          // the listening socket is closed: connections are refused
  bool dropMidListing = false;  // a listing stops half-way and the connection is closed
  int trickleBps = 0;           // replies go out at this many bytes per second
  bool neverRead = false;       // connections are accepted and never read
};

}  // namespace korvosim
