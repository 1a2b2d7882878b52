#include "SerialBus.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "Deadline.h"
#include "FrameCodec.h"
#include "OutputPacer.h"
#include "Pty.h"
#include "PtyPoll.h"
#include "ReplyShaping.h"
#include "ServingThread.h"
#include "WakePipe.h"

namespace korvosim {

namespace {

using Clock = SteadyClock;
using std::chrono::milliseconds;

struct Node {
  std::shared_ptr<Terminal> terminal;
  BusMode mode = BusMode::PlainAndFramed;
  Faults faults;
  SessionState framedSession;
  std::vector<std::string> blocks;  // framed blocks still to come, for "5A"
  std::size_t nextBlock = 0;
  std::unique_ptr<StreamConversation> plain;
};

struct Scheduled {
  Clock::time_point due;
  std::string bytes;
  bool framed = false;
};

}  // namespace

struct SerialBus::Impl {
  explicit Impl(SerialBusOptions o)
      : options(std::move(o)),
        transcript(options.transcript ? options.transcript : std::make_shared<Transcript>()),
        pacer(options.throttleBps) {
    serving.start([this] { run(); });
  }

  void run();
  void readInput(Clock::time_point now);
  void parse(Clock::time_point now);
  void handleFrame(std::string_view bytes, Clock::time_point now);
  void handlePlain(std::string_view bytes, Clock::time_point now);
  void answerPlain(int address, Node& node, std::vector<Exchange> exchanges, Clock::time_point now);
  Node* responder();
  int responderAddress();
  void schedule(Clock::time_point due, std::string bytes, bool framed);
  void note(int where, Channel channel, std::string text, std::string reply, std::string remark);
  Deadline nextDeadline(Clock::time_point now);
  void lineClosed();

  SerialBusOptions options;
  std::shared_ptr<Transcript> transcript;
  Pty pty;
  WakePipe wake;
  PtyPoll ptyPoll{pty, wake};
  mutable std::mutex mutex;
  std::map<int, Node> nodes;
  std::optional<int> chosenResponder;
  OutputPacer pacer;
  std::vector<Scheduled> scheduled;
  std::string input;
  std::optional<Clock::time_point> frameStarted;
  std::string ignoredLine;             // plain text nobody answers, kept for the transcript
  ServingThread serving{mutex, wake};  // last: the loop ends before the members it uses go
};

void SerialBus::Impl::note(int where, Channel channel, std::string text, std::string reply,
                           std::string remark) {
  TranscriptEntry e;
  e.time = std::chrono::system_clock::now();
  e.front = Front::Serial;
  e.where = where;
  e.channel = channel;
  e.text = std::move(text);
  e.reply = std::move(reply);
  e.note = std::move(remark);
  transcript->add(std::move(e));
}

int SerialBus::Impl::responderAddress() {
  if (chosenResponder) {
    auto it = nodes.find(*chosenResponder);
    if (it != nodes.end() && it->second.mode != BusMode::FramedOnly) return it->first;
    return -1;
  }
  for (auto& [addr, node] : nodes)
    if (node.mode != BusMode::FramedOnly) return addr;
  return -1;
}

Node* SerialBus::Impl::responder() {
  const int a = responderAddress();
  return a < 0 ? nullptr : &nodes[a];
}

void SerialBus::Impl::schedule(Clock::time_point due, std::string bytes, bool framed) {
  if (bytes.empty()) return;
  scheduled.push_back({due, std::move(bytes), framed});
}

void SerialBus::Impl::lineClosed() {
  // The PC closed its port: what is on the way to it is lost, as on a real line.
  scheduled.clear();
  pacer.clear();
  pty.discardOutput();
}

void SerialBus::Impl::readInput(Clock::time_point now) {
  ptyPoll.read([this](std::string_view bytes) { input.append(bytes); });
  parse(now);
}

void SerialBus::Impl::parse(Clock::time_point now) {
  while (!input.empty()) {
    Node* plain = responder();
    if (plain && plain->terminal->awaitingTemplate()) {
      // Template bytes are raw: no frame and no line structure.
      handlePlain(input, now);
      input.clear();
      return;
    }
    std::size_t length = 0;
    switch (frame::scan(input, length)) {
      case frame::Scan::Frame:
        frameStarted.reset();
        handleFrame(std::string_view(input).substr(0, length), now);
        input.erase(0, length);
        continue;
      case frame::Scan::NeedMore:
        if (!frameStarted) frameStarted = now;
        if (now - *frameStarted < milliseconds(options.frameTimeoutMs)) return;
        note(-1, Channel::Framed, input, "", "incomplete frame dropped");
        frameStarted.reset();
        input.erase(0, 1);
        continue;
      case frame::Scan::NotAFrame: {
        frameStarted.reset();
        auto end = input.find_first_of("\r\n");
        std::size_t take = end == std::string::npos ? input.size() : end + 1;
        if (end == std::string::npos) {
          // Text without a line end yet; a frame that starts inside it ends it.
          for (auto colon = input.find(':', 1); colon != std::string::npos;
               colon = input.find(':', colon + 1)) {
            std::size_t l = 0;
            if (frame::scan(std::string_view(input).substr(colon), l) != frame::Scan::NotAFrame) {
              take = colon;
              break;
            }
          }
        }
        handlePlain(std::string_view(input).substr(0, take), now);
        input.erase(0, take);
        continue;
      }
    }
  }
}

void SerialBus::Impl::handlePlain(std::string_view bytes, Clock::time_point now) {
  const int addr = responderAddress();
  if (addr < 0) {
    ignoredLine.append(bytes);
    auto end = ignoredLine.find_first_of("\r\n");
    while (end != std::string::npos) {
      std::string line = ignoredLine.substr(0, end);
      ignoredLine.erase(0, end + 1);
      if (!line.empty()) note(-1, Channel::Plain, line, "", "ignored: no terminal answers plain lines");
      end = ignoredLine.find_first_of("\r\n");
    }
    return;
  }
  Node& node = nodes[addr];
  answerPlain(addr, node, node.plain->feed(bytes, now), now);
}

void SerialBus::Impl::answerPlain(int address, Node& node, std::vector<Exchange> exchanges,
                                  Clock::time_point now) {
  for (auto& ex : exchanges) {
    note(address, ex.channel, ex.command, ex.reply.text, "");
    schedule(now + milliseconds(node.faults.delayMs), shapeReply(ex.reply, node.faults), false);
  }
}

void SerialBus::Impl::handleFrame(std::string_view bytes, Clock::time_point now) {
  auto request = frame::parse(bytes);
  if (!request) {
    note(-1, Channel::Framed, std::string(bytes), "", "malformed frame ignored");
    return;
  }
  auto it = nodes.find(request->address);
  if (it == nodes.end()) {
    note(request->address, Channel::Framed, request->piece, "", "no terminal at this address");
    return;
  }
  Node& node = it->second;
  if (node.mode == BusMode::PlainOnly) {
    note(request->address, Channel::Framed, request->piece, "", "ignored: terminal answers plain lines only");
    return;
  }
  if (!request->checksumOk) {
    note(request->address, Channel::Framed, request->piece, "", "bad checksum, ignored");
    return;
  }
  // The PC has taken the line again: an answer not yet started would collide with it.
  std::erase_if(scheduled, [&](const Scheduled& s) { return s.framed && s.due > now; });

  const Faults& f = node.faults;
  std::string out;
  std::string meant;
  if (request->piece == "5A") {
    if (f.endlessBlocks) {
      out = frame::buildReply(request->address, frame::kMore, fillerText(options.blockSize), f);
    } else if (node.nextBlock < node.blocks.size()) {
      out = frame::buildReply(request->address, frame::kMore, node.blocks[node.nextBlock++], f);
    } else {
      out = frame::buildReply(request->address, frame::kEnd, "", f);
      node.blocks.clear();
      node.nextBlock = 0;
    }
    meant = out;
  } else {
    Reply reply = node.terminal->execute(request->piece, node.framedSession, Transport::Serial);
    meant = reply.text;
    node.blocks.clear();
    node.nextBlock = 0;
    if (!reply.silent()) {
      Faults textFaults = f;
      textFaults.garbage = false;
      const std::string text = f.silent ? std::string() : shapeReply(reply, textFaults);
      const std::size_t size =
          std::clamp<std::size_t>(options.blockSize, 1, frame::kMaxLength - frame::kReplyOverhead);
      node.blocks = frame::splitBlocks(text, size);
      const std::string first = node.blocks.empty() ? std::string() : node.blocks.front();
      node.nextBlock = 1;
      out = frame::buildReply(request->address, frame::kAnswer, first, f);
    }
  }
  note(request->address, Channel::Framed, request->piece, meant, "");
  if (f.silent || out.empty()) return;
  if (f.garbage) out = noiseBytes() + out;
  schedule(now + milliseconds(options.turnaroundMs + f.delayMs), std::move(out), true);
}

Deadline SerialBus::Impl::nextDeadline(Clock::time_point now) {
  Deadline next;
  for (const auto& s : scheduled) next.consider(s.due);
  next.consider(pacer.nextTime(now));
  if (frameStarted) next.consider(*frameStarted + milliseconds(options.frameTimeoutMs));
  for (auto& [addr, node] : nodes)
    if (node.plain) next.consider(node.plain->deadline());
  return next;
}

void SerialBus::Impl::run() {
  std::unique_lock lock(mutex);
  while (!serving.stopping()) {
    const auto now = Clock::now();
    ptyPoll.wait(lock, nextDeadline(now).pollTimeout(now), pacer.blocked());
    if (serving.stopping()) break;
    const auto t = Clock::now();
    if (ptyPoll.readable()) readInput(t);
    if (ptyPoll.closedNow()) lineClosed();

    for (auto& [addr, node] : nodes)
      if (node.plain) answerPlain(addr, node, node.plain->expire(t), t);
    if (frameStarted) parse(t);

    // Due replies go into the line in the order they fell due.
    std::stable_sort(scheduled.begin(), scheduled.end(),
                     [](const Scheduled& a, const Scheduled& b) { return a.due < b.due; });
    while (!scheduled.empty() && scheduled.front().due <= t) {
      if (!ptyPoll.hungUp()) pacer.push(scheduled.front().bytes);
      scheduled.erase(scheduled.begin());
    }
    if (ptyPoll.hungUp()) {
      pacer.clear();
    } else if (!pacer.empty() && !pacer.flush(pty.master(), t)) {
      lineClosed();
    }
  }
}

SerialBus::SerialBus(SerialBusOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

SerialBus::~SerialBus() = default;

const std::string& SerialBus::slavePath() const {
  return impl_->pty.slavePath();
}

std::shared_ptr<Terminal> SerialBus::attach(int address, std::shared_ptr<Terminal> terminal, BusMode mode) {
  if (!terminal) terminal = std::make_shared<Terminal>();
  {
    std::lock_guard lock(impl_->mutex);
    Node& node = impl_->nodes[address];
    node = Node{};
    node.terminal = terminal;
    node.mode = mode;
    node.plain = std::make_unique<StreamConversation>(terminal, Transport::Serial, impl_->options.stream);
  }
  impl_->wake.notify();
  return terminal;
}

void SerialBus::detach(int address) {
  std::lock_guard lock(impl_->mutex);
  impl_->nodes.erase(address);
}

std::shared_ptr<Terminal> SerialBus::terminal(int address) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->nodes.find(address);
  return it == impl_->nodes.end() ? nullptr : it->second.terminal;
}

void SerialBus::setMode(int address, BusMode mode) {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->nodes.find(address);
  if (it != impl_->nodes.end()) it->second.mode = mode;
}

void SerialBus::setPlainResponder(std::optional<int> address) {
  std::lock_guard lock(impl_->mutex);
  impl_->chosenResponder = address;
}

std::optional<int> SerialBus::plainResponder() const {
  std::lock_guard lock(impl_->mutex);
  const int a = impl_->responderAddress();
  return a < 0 ? std::nullopt : std::optional<int>(a);
}

void SerialBus::setFaults(int address, const Faults& faults) {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->nodes.find(address);
  if (it != impl_->nodes.end()) it->second.faults = faults;
}

Faults SerialBus::faults(int address) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->nodes.find(address);
  return it == impl_->nodes.end() ? Faults{} : it->second.faults;
}

void SerialBus::setThrottle(int bps) {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->pacer.setRate(bps);
  }
  impl_->wake.notify();
}

void SerialBus::setBlockSize(std::size_t size) {
  std::lock_guard lock(impl_->mutex);
  impl_->options.blockSize = size;
}

void SerialBus::setTurnaround(int ms) {
  std::lock_guard lock(impl_->mutex);
  impl_->options.turnaroundMs = ms;
}

Transcript& SerialBus::transcript() const {
  return *impl_->transcript;
}

std::shared_ptr<Transcript> SerialBus::sharedTranscript() const {
  return impl_->transcript;
}

}  // namespace korvosim
