#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Faults.h"

namespace korvosim {

// Checksummed frames of the serial bus.
//
// Request (PC to terminal): ":" LLL AA " " piece CC, no line end. LLL is the length of the whole frame in
// hexadecimal, AA the bus address, CC the XOR of the characters before it, each as lower-case hex.
// Reply (terminal to PC): ":" LLL AA S data CC CR LF, where LLL counts the whole reply with its line end and
// S is the status: 'A' answers a command, 'Z' carries a further block after "5A", 'E' ends the transfer.
namespace frame {

constexpr std::size_t kMaxLength = 0xfff;
constexpr std::size_t kReplyOverhead = 11;  // ":", length, address, status, checksum, CR LF
constexpr char kAnswer = 'A';
constexpr char kMore = 'Z';
constexpr char kEnd = 'E';

unsigned char xorOf(std::string_view text);
std::string hex(unsigned value, int digits);

struct Request {
  int address = 0;
  std::string piece;
  bool checksumOk = false;
};

enum class Scan {
  NeedMore,   // a frame has begun and is not complete yet
  NotAFrame,  // the text does not start with a frame header
  Frame,      // a whole frame, of `length` characters
};

// Looks at the start of `input`; on Frame, `length` is the frame's length.
Scan scan(std::string_view input, std::size_t& length);
std::optional<Request> parse(std::string_view frame);

std::string buildReply(int address, char status, std::string_view data, const Faults& faults = {});

// Cuts a reply into blocks of at most `size` characters, ending blocks at a line end (or a blank) where one
// is near, because the PC puts a blank between blocks and a cut through a word would split it.
std::vector<std::string> splitBlocks(std::string_view text, std::size_t size);

}  // namespace frame
}  // namespace korvosim
