#pragma once

#include <cstddef>
#include <string>

namespace korvo {

// How the online monitor listens and cuts what it receives into batches.
struct TOnlineListenerOptions {
  // Every interface; tests bind the loopback address.
  std::string bindAddress = "0.0.0.0";
  int port = 8010;  // 0: any free port (tests)
  // Connections served at once; further ones wait in the listen backlog until a slot is free.
  int maxConnections = 64;
  int acceptWaitMs = 1000;
  // A batch ends at the first wait this long without a whole line.
  int lineWaitMs = 500;
  // The pause after a wait that brought no line.
  int idlePauseMs = 500;
  // A longer line closes its connection.
  std::size_t maxLineBytes = 4096;
  // A steady stream has no quiet moment: a batch is handed over at this many lines.
  std::size_t maxBatchLines = 256;
};

}  // namespace korvo
