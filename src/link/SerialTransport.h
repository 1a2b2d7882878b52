#pragma once

#include <cstddef>

namespace korvo {

// A terminal's reply is held in memory as it arrives. The plain exchange reads for as long as bytes
// keep coming and the block collection for as long as blocks say "Z", so a terminal that streams
// without end (noise, a stuck transmitter, endless blocks) is cut off at these limits. They sit far
// above the largest listing a terminal keeps (a full transaction file is a few hundred kilobytes).
inline constexpr std::size_t kMaxSerialReply = 4u << 20;
inline constexpr int kMaxFramedBlocks = 20000;

}  // namespace korvo
