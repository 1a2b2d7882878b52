#include "ModemLine.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

#include "Deadline.h"
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

std::string resultCode(const std::string& text) {
  return "\r\n" + text + "\r\n";
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

struct ModemLine::Impl {
  enum class State { Command, Dialing, Online };

  Impl(std::shared_ptr<Terminal> t, ModemOptions o)
      : terminal(std::move(t)),
        options(std::move(o)),
        transcript(options.transcript ? options.transcript : std::make_shared<Transcript>()),
        conversation(terminal, Transport::Modem, options.stream),
        pacer(options.throttleBps) {
    serving.start([this] { run(); });
  }

  void run();
  void input(std::string_view bytes, Clock::time_point now);
  void commandInput(std::string_view bytes, Clock::time_point now);
  void onlineInput(std::string_view bytes, Clock::time_point now);
  void atCommand(const std::string& line, Clock::time_point now);
  void answer(std::vector<Exchange> exchanges, Clock::time_point now);
  void send(std::string bytes, Clock::time_point due);
  void hangUp();
  void note(Channel channel, std::string text, std::string reply);

  std::shared_ptr<Terminal> terminal;
  ModemOptions options;
  std::shared_ptr<Transcript> transcript;
  Pty pty;
  WakePipe wake;
  PtyPoll ptyPoll{pty, wake};
  mutable std::mutex mutex;
  State state = State::Command;
  bool callUp = false;
  Clock::time_point dialDone{};
  std::string commandBuffer;
  std::string escapeHeld;  // "+" or "++" that may begin an escape
  StreamConversation conversation;
  Faults faults;
  OutputPacer pacer;
  std::vector<std::pair<Clock::time_point, std::string>> scheduled;
  std::string number;
  int callCount = 0;
  ServingThread serving{mutex, wake};  // last: the loop ends before the members it uses go
};

void ModemLine::Impl::note(Channel channel, std::string text, std::string reply) {
  TranscriptEntry e;
  e.time = std::chrono::system_clock::now();
  e.front = Front::Modem;
  e.channel = channel;
  e.text = std::move(text);
  e.reply = std::move(reply);
  transcript->add(std::move(e));
}

void ModemLine::Impl::send(std::string bytes, Clock::time_point due) {
  if (!bytes.empty()) scheduled.emplace_back(due, std::move(bytes));
}

void ModemLine::Impl::hangUp() {
  callUp = false;
  state = State::Command;
  escapeHeld.clear();
  conversation.reset();
}

void ModemLine::Impl::atCommand(const std::string& raw, Clock::time_point now) {
  const std::string line = upper(raw);
  std::string reply;
  if (line.rfind("AT", 0) != 0) {
    reply = "ERROR";
  } else if (line.rfind("ATD", 0) == 0) {
    number = raw.substr(3);
    state = State::Dialing;
    dialDone = now + milliseconds(options.dialDelayMs);
  } else if (line == "ATZ" || line.rfind("ATH", 0) == 0) {
    hangUp();
    reply = "OK";
  } else if (line == "ATO" || line == "ATO0") {
    if (callUp) {
      state = State::Online;
      reply = options.connectText;
    } else {
      reply = "NO CARRIER";
    }
  } else {
    if (line == "ATE0") options.echo = false;
    if (line == "ATE1") options.echo = true;
    reply = "OK";
  }
  note(Channel::Modem, raw, reply);
  if (!reply.empty()) send(resultCode(reply), now);
}

void ModemLine::Impl::commandInput(std::string_view bytes, Clock::time_point now) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (state == State::Online) {
      onlineInput(bytes.substr(i), now);
      return;
    }
    if (state != State::Command) return;  // bytes sent while dialling are lost
    const char c = bytes[i];
    if (options.echo) send(std::string(1, c), now);
    if (c == '\r' || c == '\n') {
      std::string line = commandBuffer;
      commandBuffer.clear();
      while (!line.empty() && line.back() == ' ') line.pop_back();
      if (!line.empty()) atCommand(line, now);
      continue;
    }
    commandBuffer += c;
    // An escape sequence without a call has nothing to leave; a modem drops it.
    if (commandBuffer == "+++") commandBuffer.clear();
  }
}

void ModemLine::Impl::onlineInput(std::string_view bytes, Clock::time_point now) {
  std::string data = escapeHeld + std::string(bytes);
  escapeHeld.clear();
  if (!conversation.pending() && !data.empty() && data[0] == '+') {
    if (data.rfind("+++", 0) == 0) {
      state = State::Command;
      note(Channel::Modem, "+++", "OK");
      send(resultCode("OK"), now);
      commandInput(std::string_view(data).substr(3), now);
      return;
    }
    if (data == "+" || data == "++") {
      escapeHeld = data;
      return;
    }
  }
  answer(conversation.feed(data, now), now);
}

void ModemLine::Impl::answer(std::vector<Exchange> exchanges, Clock::time_point now) {
  for (auto& ex : exchanges) {
    note(ex.channel, ex.command, ex.reply.text);
    send(shapeReply(ex.reply, faults), now + milliseconds(faults.delayMs));
  }
}

void ModemLine::Impl::input(std::string_view bytes, Clock::time_point now) {
  if (state == State::Online)
    onlineInput(bytes, now);
  else if (state == State::Command)
    commandInput(bytes, now);
}

void ModemLine::Impl::run() {
  std::unique_lock lock(mutex);
  while (!serving.stopping()) {
    const auto now = Clock::now();
    Deadline next;
    for (const auto& s : scheduled) next.consider(s.first);
    if (state == State::Dialing) next.consider(dialDone);
    next.consider(pacer.nextTime(now));
    next.consider(conversation.deadline());
    ptyPoll.wait(lock, next.pollTimeout(now), pacer.blocked());
    if (serving.stopping()) break;
    const auto t = Clock::now();
    if (ptyPoll.readable()) ptyPoll.read([&](std::string_view bytes) { input(bytes, t); });
    if (ptyPoll.closedNow()) {
      // The PC closed the port: DTR drops and the modem hangs up.
      hangUp();
      scheduled.clear();
      pacer.clear();
      pty.discardOutput();
      commandBuffer.clear();
    }

    if (state == State::Dialing && t >= dialDone) {
      std::string result;
      switch (options.outcome) {
        case DialOutcome::Connect:
          result = options.connectText;
          state = State::Online;
          callUp = true;
          ++callCount;
          conversation.reset();
          break;
        case DialOutcome::Busy:
          result = "BUSY";
          break;
        case DialOutcome::NoCarrier:
          result = "NO CARRIER";
          break;
        case DialOutcome::NoAnswer:
          break;
      }
      if (state == State::Dialing) state = State::Command;
      if (!result.empty()) send(resultCode(result), t);
    }
    if (state == State::Online) answer(conversation.expire(t), t);

    std::stable_sort(scheduled.begin(), scheduled.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    while (!scheduled.empty() && scheduled.front().first <= t) {
      if (!ptyPoll.hungUp()) pacer.push(scheduled.front().second);
      scheduled.erase(scheduled.begin());
    }
    if (ptyPoll.hungUp())
      pacer.clear();
    else if (!pacer.empty())
      pacer.flush(pty.master(), t);
  }
}

ModemLine::ModemLine(std::shared_ptr<Terminal> terminal, ModemOptions options)
    : impl_(std::make_unique<Impl>(terminal ? std::move(terminal) : std::make_shared<Terminal>(),
                                   std::move(options))) {}

ModemLine::~ModemLine() = default;

const std::string& ModemLine::slavePath() const {
  return impl_->pty.slavePath();
}

std::shared_ptr<Terminal> ModemLine::terminal() const {
  return impl_->terminal;
}

void ModemLine::setOutcome(DialOutcome outcome) {
  std::lock_guard lock(impl_->mutex);
  impl_->options.outcome = outcome;
}

void ModemLine::setDialDelay(int ms) {
  std::lock_guard lock(impl_->mutex);
  impl_->options.dialDelayMs = ms;
}

void ModemLine::setConnectText(std::string text) {
  std::lock_guard lock(impl_->mutex);
  impl_->options.connectText = std::move(text);
}

void ModemLine::setFaults(const Faults& faults) {
  std::lock_guard lock(impl_->mutex);
  impl_->faults = faults;
}

bool ModemLine::connected() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->callUp;
}

bool ModemLine::online() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->state == Impl::State::Online;
}

std::string ModemLine::lastNumber() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->number;
}

int ModemLine::calls() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->callCount;
}

Transcript& ModemLine::transcript() const {
  return *impl_->transcript;
}

std::shared_ptr<Transcript> ModemLine::sharedTranscript() const {
  return impl_->transcript;
}

}  // namespace korvosim
