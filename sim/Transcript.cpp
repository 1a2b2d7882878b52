#include "Transcript.h"

namespace korvosim {

void Transcript::add(TranscriptEntry entry) {
  std::function<void(const TranscriptEntry&)> listener;
  {
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
    listener = listener_;
  }
  changed_.notify_all();
  if (listener) listener(entry);
}

std::vector<TranscriptEntry> Transcript::entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::vector<std::string> Transcript::commands() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& e : entries_) out.push_back(e.text);
  return out;
}

std::vector<std::string> Transcript::commands(Front front) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& e : entries_)
    if (e.front == front) out.push_back(e.text);
  return out;
}

std::size_t Transcript::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void Transcript::clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

bool Transcript::waitForSize(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return entries_.size() >= count; });
}

void Transcript::setListener(std::function<void(const TranscriptEntry&)> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

const char* frontName(Front front) {
  switch (front) {
    case Front::Serial:
      return "serial";
    case Front::Tcp:
      return "tcp";
    case Front::Modem:
      return "modem";
    case Front::Pusher:
      return "push";
  }
  return "?";
}

const char* channelName(Channel channel) {
  switch (channel) {
    case Channel::Plain:
      return "plain";
    case Channel::Framed:
      return "framed";
    case Channel::Raw:
      return "raw";
    case Channel::Modem:
      return "modem";
  }
  return "?";
}

}  // namespace korvosim
