#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "collect/OnlineBatchQueue.h"
#include "collect/OnlineListenerOptions.h"
#include "collect/OnlineStore.h"

namespace korvo {

class TDatabase;
class TTCPEchoDaemon;
struct TLinkContext;

// The online monitor without its window: the listener with its receiving threads, and the storing
// of their batches on the thread that owns this object (the user-interface thread of the window,
// the main thread of the command line). All database work happens on that thread.
class TOnlineReceiver {
 public:
  struct TSinks {
    // Shows a line before its row is stored; empty: nothing is shown.
    TOnlineStore::TDisplay display;
    TOnlineStore::TLog log;
    // Called on a receiving thread when a batch waits: the owner calls ProcessPending on its thread.
    std::function<void()> notify;
  };

  TOnlineReceiver(TDatabase& db, TOnlineListenerOptions options, int cardDigits, TSinks sinks);
  // Stops as Stop does.
  ~TOnlineReceiver();

  // Starts listening. False when the port cannot be had: the reason is logged and kept.
  bool Start();
  const std::string& Error() const { return error_; }
  bool Listening() const;
  int Port() const;
  int CardDigits() const { return cardDigits_; }

  // Stores and shows the waiting batches; see TOnlineBatchQueue::ProcessPending.
  int ProcessPending();
  bool WaitPending(std::chrono::milliseconds timeout) { return queue_.WaitPending(timeout); }
  // Stops listening and ends every connection; what they received is stored but not shown.
  void Stop();

  int Stored() const { return stored_; }
  int PeakConnections() const;

 private:
  void Process(TOnlineBatch& batch, bool show);

  TOnlineListenerOptions options_;
  int cardDigits_;
  TSinks sinks_;
  TOnlineStore store_;
  TOnlineBatchQueue queue_;
  std::unique_ptr<TTCPEchoDaemon> daemon_;
  std::string error_;
  int stored_ = 0;
};

// The card digits of the online lines: parameter 7 of the selected terminal, read once; 1 when no
// terminal is selected (nothing is asked then) or its answer is no number.
int OnlineCardDigits(TLinkContext& link, const std::string& selectedAddr);
// The port of the settings' OnlinePort text, or nothing when it is no port number.
std::optional<int> OnlinePortNumber(const std::string& text);

}  // namespace korvo
