#include "StreamConversation.h"

namespace korvosim {

StreamConversation::StreamConversation(std::shared_ptr<Terminal> terminal, Transport transport,
                                       StreamOptions options)
    : terminal_(std::move(terminal)), transport_(transport), options_(options) {}

std::vector<Exchange> StreamConversation::feed(std::string_view bytes, SteadyClock::time_point now) {
  std::vector<Exchange> out;
  if (bytes.empty()) return out;
  lastInput_ = now;
  buffer_.append(bytes);
  process(out);
  return out;
}

Exchange StreamConversation::storeTemplate(std::string bytes) {
  Exchange e;
  e.channel = Channel::Raw;
  e.command = bytes;
  e.reply = terminal_->storeTemplate(std::move(bytes));
  return e;
}

void StreamConversation::process(std::vector<Exchange>& out) {
  while (!buffer_.empty()) {
    if (terminal_->awaitingTemplate()) {
      afterCR_ = false;
      if (buffer_.size() < options_.templateMax) return;  // the rest comes with quiet
      std::string block = buffer_.substr(0, options_.templateMax);
      buffer_.erase(0, options_.templateMax);
      out.push_back(storeTemplate(std::move(block)));
      continue;
    }
    // The LF of a CR LF that was split between two reads.
    if (afterCR_ && buffer_[0] == '\n') buffer_.erase(0, 1);
    afterCR_ = false;
    const auto pos = buffer_.find_first_of("\r\n");
    if (pos == std::string::npos) return;
    std::string line = buffer_.substr(0, pos);
    std::size_t used = pos + 1;
    if (buffer_[pos] == '\r') {
      if (pos + 1 < buffer_.size()) {
        if (buffer_[pos + 1] == '\n') ++used;
      } else {
        afterCR_ = true;
      }
    }
    buffer_.erase(0, used);
    Exchange e;
    e.channel = Channel::Plain;
    e.reply = terminal_->execute(line, session_, transport_);
    e.command = std::move(line);
    out.push_back(std::move(e));
  }
}

std::vector<Exchange> StreamConversation::expire(SteadyClock::time_point now) {
  std::vector<Exchange> out;
  if (buffer_.empty()) return out;
  if (terminal_->awaitingTemplate()) {
    if (now - lastInput_ >= options_.templateGap) {
      out.push_back(storeTemplate(std::move(buffer_)));
      buffer_.clear();
    }
    return out;
  }
  if (now - lastInput_ >= options_.rawGap) {
    Exchange e;
    e.channel = Channel::Raw;
    e.command = std::move(buffer_);
    buffer_.clear();
    e.reply = terminal_->execute(e.command, session_, transport_);
    out.push_back(std::move(e));
  }
  return out;
}

std::optional<SteadyClock::time_point> StreamConversation::deadline() const {
  if (buffer_.empty()) return std::nullopt;
  return lastInput_ + (terminal_->awaitingTemplate() ? options_.templateGap : options_.rawGap);
}

void StreamConversation::finish() {
  if (!buffer_.empty() && terminal_->awaitingTemplate()) terminal_->storeTemplate(std::move(buffer_));
  buffer_.clear();
  afterCR_ = false;
}

void StreamConversation::reset() {
  finish();
  session_ = SessionState{};
}

}  // namespace korvosim
