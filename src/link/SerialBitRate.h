#pragma once

namespace korvo {

// Sets any bit rate the driver accepts on an open terminal device, also one termios has no
// constant for (14400, 28800, 56000). Leaves the rest of the line state alone. False when the
// driver refuses the rate or the rate is no positive number.
bool SetAnyBitRate(int fd, int baud);
// The output bit rate the driver holds, -1 when it cannot be read.
int BitRateOf(int fd);

}  // namespace korvo
