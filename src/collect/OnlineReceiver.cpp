#include "collect/OnlineReceiver.h"

#include <charconv>

#include "collect/TCPEchoDaemon.h"
#include "link/LinkServices.h"
#include "store/Database.h"
#include "store/TextCodec.h"

namespace korvo {

TOnlineReceiver::TOnlineReceiver(TDatabase& db, TOnlineListenerOptions options, int cardDigits, TSinks sinks)
    : options_(std::move(options)),
      cardDigits_(cardDigits),
      sinks_(std::move(sinks)),
      store_(db, sinks_.log) {
  queue_.SetNotify(sinks_.notify);
  daemon_ = std::make_unique<TTCPEchoDaemon>(options_, queue_);
}

TOnlineReceiver::~TOnlineReceiver() {
  Stop();
}

bool TOnlineReceiver::Start() {
  error_ = daemon_->Start();
  if (error_.empty()) return true;
  error_ = "Online port " + std::to_string(options_.port) + " not available : " + error_ + ".";
  if (sinks_.log) sinks_.log(error_);
  return false;
}

bool TOnlineReceiver::Listening() const {
  return daemon_->Listening();
}

int TOnlineReceiver::Port() const {
  return daemon_->Port();
}

int TOnlineReceiver::PeakConnections() const {
  return daemon_->PeakConnections();
}

void TOnlineReceiver::Process(TOnlineBatch& batch, bool show) {
  if (!batch.lines.empty())
    stored_ += store_.StoreBatch(batch.lines, cardDigits_, show ? sinks_.display : TOnlineStore::TDisplay());
  if (sinks_.log)
    for (const auto& note : batch.notes) sinks_.log(note);
}

int TOnlineReceiver::ProcessPending() {
  return queue_.ProcessPending([this](TOnlineBatch& batch) { Process(batch, true); });
}

void TOnlineReceiver::Stop() {
  daemon_->Stop([this](TOnlineBatch& batch) { Process(batch, false); });
}

int OnlineCardDigits(TLinkContext& link, const std::string& selectedAddr) {
  if (selectedAddr.empty()) return 1;
  return ReadCardDigits(link, selectedAddr);
}

std::optional<int> OnlinePortNumber(const std::string& text) {
  const std::string t = TrimControl(text);
  int port = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), port);
  if (ec != std::errc() || end != t.data() + t.size() || port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace korvo
