#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/FakeSerialLine.h"

namespace korvo::test {

// A terminal on a fake line. Plain lines (text ending in CR) and frames addressed to it are
// answered from the scripts below; an empty answer is silence. Frames are parsed and their
// checksums checked here, apart from the link code.
class TScriptedTerminal {
 public:
  TScriptedTerminal(TFakeSerialLine& line, int address);

  // Reply bytes for one plain line (without its CR).
  std::function<std::string(const std::string& line)> plain;
  // Reply frames for a framed piece: the first answers the piece, each later one the next "5A".
  std::function<std::vector<std::string>(const std::string& piece)> framed;
  // The answer to a "5A" once the frames above are used up; silence when unset.
  std::function<std::string()> nextBlock;

  int turnaroundMs = 5;
  double bytesPerMs = 11.52;  // 115200 bit/s

  std::vector<std::string> plainLines;   // every plain line received
  std::vector<std::string> framePieces;  // the piece of every well-formed frame to this address
  int badFrames = 0;                     // frames with a wrong length field or checksum

 private:
  void Received(const std::string& written);
  TFakeSerialLine& line_;
  int address_;
  std::vector<std::string> pending_;
};

}  // namespace korvo::test
