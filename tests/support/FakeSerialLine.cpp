#include "support/FakeSerialLine.h"

#include <algorithm>
#include <cstdio>
#include <deque>

namespace korvo::test {

struct TFakeSerialLine::TState {
  TVirtualClock* clock = nullptr;
  TFakeSerialLine* owner = nullptr;
  std::vector<TEvent> events;
  int opens = 0;
  bool open = false;
  std::vector<int> ports;
  TLineSettings settings;
  std::string rx;
  std::size_t maxWaiting = 0;
  std::size_t produced = 0;

  struct TChunk {
    std::int64_t at;
    std::string bytes;
    double rate;
    std::size_t done = 0;
  };
  std::deque<TChunk> chunks;
  bool endless = false;
  std::string pattern;
  double endlessRate = 0;
  std::int64_t endlessStart = 0;
  std::size_t endlessDone = 0;

  std::int64_t Now() const { return clock->ElapsedMs(); }
  void Record(std::string kind, std::string data = {}) {
    events.push_back({Now(), std::move(kind), std::move(data)});
  }

  void Deliver(std::string_view bytes) {
    if (!open) return;  // nobody listens on a closed port
    rx.append(bytes);
    produced += bytes.size();
  }

  void Arrive(std::int64_t now) {
    while (!chunks.empty()) {
      TChunk& c = chunks.front();
      if (c.at > now) break;
      std::size_t due = c.bytes.size();
      if (c.rate > 0) due = std::min(due, static_cast<std::size_t>(static_cast<double>(now - c.at) * c.rate));
      if (due > c.done) {
        Deliver(std::string_view(c.bytes).substr(c.done, due - c.done));
        c.done = due;
      }
      if (c.done < c.bytes.size()) break;
      chunks.pop_front();
    }
    if (endless && now >= endlessStart) {
      auto due = static_cast<std::size_t>(static_cast<double>(now - endlessStart) * endlessRate);
      std::string more;
      for (; endlessDone < due; ++endlessDone) more += pattern[endlessDone % pattern.size()];
      Deliver(more);
    }
    maxWaiting = std::max(maxWaiting, rx.size());
  }
};

namespace {

class TFakeDevice final : public TSerialDevice {
 public:
  explicit TFakeDevice(std::shared_ptr<TFakeSerialLine::TState> s) : s_(std::move(s)) {}
  ~TFakeDevice() override {
    s_->open = false;
    s_->rx.clear();
    s_->Record("close");
  }
  int NativeHandle() const override { return 1000 + s_->opens; }
  bool SetBufferSizes(int, int) override { return !s_->owner->refuseBuffers; }
  bool ApplyLineSettings(const TLineSettings& settings) override {
    if (s_->owner->refuseSettings) return false;
    s_->settings = settings;
    return true;
  }
  std::size_t Write(std::string_view bytes) override {
    s_->Record("write", std::string(bytes));
    if (s_->owner->echoFrames && !bytes.empty() && bytes.front() == ':') s_->Deliver(bytes);
    if (s_->owner->responder) s_->owner->responder(std::string(bytes));
    s_->Arrive(s_->Now());
    return bytes.size();
  }
  int Waiting() override {
    s_->Record("waiting");
    return static_cast<int>(s_->rx.size());
  }
  std::string Read(int count) override {
    std::string out = s_->rx.substr(0, static_cast<std::size_t>(count));
    s_->rx.erase(0, out.size());
    s_->Record("read", out);
    return out;
  }
  bool Purge() override {
    s_->Record("purge", s_->rx);
    s_->rx.clear();
    return true;
  }
  bool SetRts(bool on) override {
    if (!s_->owner->hasRts) return false;
    s_->Record("rts", on ? "1" : "0");
    return true;
  }
  bool SetDtr(bool on) override {
    s_->Record("dtr", on ? "1" : "0");
    return true;
  }

 private:
  std::shared_ptr<TFakeSerialLine::TState> s_;
};

class TFakeFactory final : public TSerialDeviceFactory {
 public:
  explicit TFakeFactory(std::shared_ptr<TFakeSerialLine::TState> s) : s_(std::move(s)) {}
  TSerialOpenResult Open(int port) override {
    TFakeSerialLine& line = *s_->owner;
    if (line.alwaysFail || line.failOpens > 0) {
      if (line.failOpens > 0) --line.failOpens;
      s_->Record("open-failed", std::to_string(port));
      return {};
    }
    if (s_->open) return {};  // exclusive
    s_->open = true;
    ++s_->opens;
    s_->ports.push_back(port);
    s_->Record("open", std::to_string(port));
    return {std::make_unique<TFakeDevice>(s_), "", ""};
  }

 private:
  std::shared_ptr<TFakeSerialLine::TState> s_;
};

}  // namespace

TFakeSerialLine::TFakeSerialLine(TVirtualClock& clock) : state_(std::make_shared<TState>()) {
  state_->clock = &clock;
  state_->owner = this;
  std::weak_ptr<TState> weak = state_;
  clock.OnAdvance([weak](std::int64_t now) {
    if (auto s = weak.lock()) s->Arrive(now);
  });
}

std::unique_ptr<TSerialDeviceFactory> TFakeSerialLine::Factory() {
  return std::make_unique<TFakeFactory>(state_);
}

void TFakeSerialLine::Send(std::string bytes, int delayMs, double bytesPerMs) {
  // In order of their start: a later Send may start earlier.
  TState::TChunk chunk{state_->Now() + delayMs, std::move(bytes), bytesPerMs};
  auto at = std::upper_bound(state_->chunks.begin(), state_->chunks.end(), chunk.at,
                             [](std::int64_t t, const TState::TChunk& c) { return t < c.at; });
  state_->chunks.insert(at, std::move(chunk));
}

void TFakeSerialLine::SendEndless(std::string pattern, double bytesPerMs, int delayMs) {
  state_->endless = true;
  state_->pattern = std::move(pattern);
  state_->endlessRate = bytesPerMs;
  state_->endlessStart = state_->Now() + delayMs;
  state_->endlessDone = 0;
}

void TFakeSerialLine::StopSending() {
  state_->chunks.clear();
  state_->endless = false;
}

const std::vector<TFakeSerialLine::TEvent>& TFakeSerialLine::Events() const {
  return state_->events;
}

std::vector<TFakeSerialLine::TEvent> TFakeSerialLine::EventsOf(const std::string& kind) const {
  std::vector<TEvent> out;
  for (const auto& e : state_->events)
    if (e.kind == kind) out.push_back(e);
  return out;
}

std::vector<std::string> TFakeSerialLine::Writes() const {
  std::vector<std::string> out;
  for (const auto& e : EventsOf("write")) out.push_back(e.data);
  return out;
}

int TFakeSerialLine::Opens() const {
  return state_->opens;
}
bool TFakeSerialLine::IsOpen() const {
  return state_->open;
}
std::vector<int> TFakeSerialLine::OpenedPorts() const {
  return state_->ports;
}
const TLineSettings& TFakeSerialLine::LastSettings() const {
  return state_->settings;
}
std::size_t TFakeSerialLine::MaxWaiting() const {
  return state_->maxWaiting;
}
std::size_t TFakeSerialLine::Produced() const {
  return state_->produced;
}

std::string XorChecksumHex(const std::string& text) {
  unsigned x = 0;
  for (unsigned char c : text) x ^= c;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02x", x & 0xff);
  return buf;
}

std::string ReplyFrame(int address, char status, const std::string& data) {
  char head[16];
  std::snprintf(head, sizeof head, ":%03x%02x%c", static_cast<unsigned>(data.size() + 11),
                static_cast<unsigned>(address), status);
  std::string body = head + data;
  return body + XorChecksumHex(body) + "\r\n";
}

}  // namespace korvo::test
