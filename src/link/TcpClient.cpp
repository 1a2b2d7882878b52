#include "link/TcpClient.h"

#include <algorithm>
#include <cstdint>

#include "store/Clock.h"

namespace korvo {

TTcpClient::TTcpClient(TClock& clock, std::unique_ptr<TNetStream> stream)
    : clock_(clock), stream_(std::move(stream)) {}

TTcpClient::~TTcpClient() {
  Close();
}

int TTcpClient::Connect(const std::string& host, int port) {
  buffer_.clear();
  int rc = stream_->Connect(host, port, kConnectLimitMs);
  connected_ = rc == 0;
  return rc;
}

bool TTcpClient::SendText(std::string_view text) {
  return connected_ && stream_->Write(text, kSendLimitMs);
}

bool TTcpClient::SendByte(char byte) {
  return SendText(std::string_view(&byte, 1));
}

void TTcpClient::FillOnce(int remainingMs) {
  if (!stream_->WaitReadable(remainingMs)) return;
  buffer_ += stream_->ReadSome(kMaxReplyBytes - buffer_.size());
}

template <typename TDone>
bool TTcpClient::FillUntil(int limitMs, TDone done) {
  const std::int64_t deadline = clock_.MonotonicMs() + limitMs;
  while (true) {
    if (done()) return true;
    if (!connected_ || stream_->AtEnd() || buffer_.size() >= kMaxReplyBytes) return false;
    std::int64_t remaining = deadline - clock_.MonotonicMs();
    if (remaining <= 0) return false;
    FillOnce(static_cast<int>(remaining));
  }
}

std::size_t TTcpClient::FindInBuffer(std::string_view terminator, std::size_t& searchedTo) const {
  std::size_t from = searchedTo >= terminator.size() ? searchedTo - (terminator.size() - 1) : 0;
  std::size_t at = buffer_.find(terminator, from);
  searchedTo = buffer_.size();
  return at;
}

std::string TTcpClient::ReceiveLine(int limitMs) {
  std::size_t searched = 0, at = std::string::npos;
  bool complete = FillUntil(limitMs, [&] {
    at = FindInBuffer("\r\n", searched);
    return at != std::string::npos;
  });
  if (!complete) {
    // An endless line is dropped rather than kept: its memory is bounded, not its sender.
    if (buffer_.size() >= kMaxReplyBytes) buffer_.clear();
    return {};
  }
  std::string line = buffer_.substr(0, at);
  buffer_.erase(0, at + 2);
  return line;
}

std::string TTcpClient::ReceiveAvailable(std::size_t maxBytes) {
  if (connected_ && buffer_.size() < maxBytes && buffer_.size() < kMaxReplyBytes)
    buffer_ += stream_->ReadSome(std::min(maxBytes, kMaxReplyBytes) - buffer_.size());
  std::size_t n = std::min(maxBytes, buffer_.size());
  std::string out = buffer_.substr(0, n);
  buffer_.erase(0, n);
  return out;
}

bool TTcpClient::CanRead(int limitMs) {
  return FillUntil(limitMs, [&] { return !buffer_.empty(); });
}

std::optional<std::string> TTcpClient::ReadLine(int limitMs) {
  std::size_t searched = 0, at = std::string::npos;
  bool complete = FillUntil(limitMs, [&] {
    at = FindInBuffer("\n", searched);
    return at != std::string::npos;
  });
  if (!complete) {
    if (buffer_.size() >= kMaxReplyBytes) buffer_.clear();
    return std::nullopt;
  }
  std::string line = buffer_.substr(0, at);
  buffer_.erase(0, at + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<char> TTcpClient::ReadByte(int limitMs) {
  if (!CanRead(limitMs)) return std::nullopt;
  char c = buffer_.front();
  buffer_.erase(0, 1);
  return c;
}

void TTcpClient::Close() {
  if (stream_) stream_->Close();
  connected_ = false;
}

}  // namespace korvo
