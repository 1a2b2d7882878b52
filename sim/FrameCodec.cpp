#include "FrameCodec.h"

#include <cctype>

namespace korvosim::frame {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool readHex(std::string_view s, unsigned& out) {
  out = 0;
  for (char c : s) {
    const int d = hexDigit(c);
    if (d < 0) return false;
    out = out * 16 + static_cast<unsigned>(d);
  }
  return !s.empty();
}

}  // namespace

unsigned char xorOf(std::string_view text) {
  unsigned char x = 0;
  for (char c : text) x ^= static_cast<unsigned char>(c);
  return x;
}

std::string hex(unsigned value, int digits) {
  static const char* kDigits = "0123456789abcdef";
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    out[static_cast<std::size_t>(i)] = kDigits[value & 0xf];
    value >>= 4;
  }
  return out;
}

Scan scan(std::string_view input, std::size_t& length) {
  if (input.empty() || input[0] != ':') return Scan::NotAFrame;
  for (std::size_t i = 1; i < 4; ++i) {
    if (i >= input.size()) return Scan::NeedMore;
    if (hexDigit(input[i]) < 0) return Scan::NotAFrame;
  }
  unsigned len = 0;
  readHex(input.substr(1, 3), len);
  if (len < 9) return Scan::NotAFrame;
  length = len;
  return input.size() >= len ? Scan::Frame : Scan::NeedMore;
}

std::optional<Request> parse(std::string_view f) {
  unsigned len = 0, addr = 0, sum = 0;
  if (f.size() < 9 || f[0] != ':' || !readHex(f.substr(1, 3), len) || len != f.size()) return std::nullopt;
  if (!readHex(f.substr(4, 2), addr) || f[6] != ' ' || !readHex(f.substr(len - 2), sum)) return std::nullopt;
  Request r;
  r.address = static_cast<int>(addr);
  r.piece = std::string(f.substr(7, len - 9));
  // The PC counts the characters it takes modulo 256, so on a frame of 258 characters or more it covers only
  // the first ones; a checksum over the whole frame is taken as well.
  const std::string_view body = f.substr(0, len - 2);
  r.checksumOk = sum == xorOf(body) || sum == xorOf(body.substr(0, body.size() % 256));
  return r;
}

std::string buildReply(int address, char status, std::string_view data, const Faults& faults) {
  std::string out = ":";
  std::size_t length = data.size() + kReplyOverhead;
  out += hex(static_cast<unsigned>(faults.wrongLength ? length + 0x10 : length), 3);
  out += hex(static_cast<unsigned>(address), 2);
  out += status;
  out += data;
  unsigned char sum = xorOf(out);
  if (faults.badChecksum) sum ^= 0x5a;
  out += hex(sum, 2);
  out += "\r\n";
  if (faults.shortFrames) out.resize(out.size() - std::min<std::size_t>(out.size() / 3, out.size() - 1));
  return out;
}

std::vector<std::string> splitBlocks(std::string_view text, std::size_t size) {
  std::vector<std::string> blocks;
  if (size == 0) size = 1;
  while (!text.empty()) {
    std::size_t take = std::min(size, text.size());
    if (take < text.size()) {
      const std::string_view chunk = text.substr(0, take);
      auto cut = chunk.rfind('\n');
      if (cut == std::string_view::npos || cut < take / 2) cut = chunk.rfind(' ');
      if (cut != std::string_view::npos && cut >= take / 2) take = cut + 1;
    }
    blocks.emplace_back(text.substr(0, take));
    text.remove_prefix(take);
  }
  return blocks;
}

}  // namespace korvosim::frame
