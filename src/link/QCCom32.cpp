#include "link/QCCom32.h"

#include "link/CommandText.h"
#include "store/Clock.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

constexpr int kDriverBuffer = 1024;
// How often a waiting read looks at the port and lets window messages through.
constexpr int kWaitStepMs = 1;

// The operator is told which device the port maps to and what the system said about it.
std::string OpenFailureText(int port, const std::string& path, const std::string& reason) {
  std::string text = "Error opening COM" + std::to_string(port) + ": ";
  if (!path.empty()) text += path;
  if (!path.empty() && !reason.empty()) text += ": ";
  return text + reason;
}

}  // namespace

T_QCCom32::T_QCCom32(TClock& clock, TOperatorUi& ui, std::unique_ptr<TSerialDeviceFactory> factory)
    : clock_(clock), ui_(ui), factory_(std::move(factory)) {}

T_QCCom32::~T_QCCom32() {
  Close();
}

void T_QCCom32::SetDeviceFactory(std::unique_ptr<TSerialDeviceFactory> factory) {
  Close();
  factory_ = std::move(factory);
}

void T_QCCom32::Reopen() {
  if (Opened()) Open();
}

void T_QCCom32::SetPort(int value) {
  if (value == port_) return;
  port_ = value;
  Reopen();
}
void T_QCCom32::SetBaud(int value) {
  if (value == baud_) return;
  baud_ = value;
  Reopen();
}
void T_QCCom32::SetByte(int value) {
  if (value == byte_) return;
  byte_ = value;
  Reopen();
}
void T_QCCom32::SetParity(int value) {
  if (value == parity_) return;
  parity_ = value;
  Reopen();
}
void T_QCCom32::SetStop(int value) {
  if (value == stop_) return;
  stop_ = value;
  Reopen();
}

int T_QCCom32::Handle() const {
  return device_ ? device_->NativeHandle() : -1;
}

bool T_QCCom32::Open() {
  Close();
  while (true) {
    TSerialOpenResult opened = factory_ ? factory_->Open(port_) : TSerialOpenResult{};
    device_ = std::move(opened.device);
    if (device_ || !ShowErrors) break;
    if (ui_.AskAbortRetry(OpenFailureText(port_, opened.path, opened.reason)) == TAbortRetry::Abort) break;
  }
  if (!device_) return false;
  // Either answer goes on with the driver's own buffer sizes.
  if (ShowErrors && !device_->SetBufferSizes(kDriverBuffer, kDriverBuffer))
    ui_.AskAbortRetry("Cannot setup comm buffer");
  TLineSettings s;
  s.baud = baud_;
  s.byteSize = byte_;
  s.parity = parity_;
  s.stopCode = stop_ - 1;
  s.xonXoff = XonXoff;
  s.dtrDsr = DtrDsr;
  // When the line state cannot be changed the port stays open with the driver's settings.
  device_->ApplyLineSettings(s);
  return true;
}

void T_QCCom32::Close() {
  device_.reset();
}

bool T_QCCom32::Write(std::string_view text) {
  if (!device_) return false;
  return device_->Write(text) == text.size();
}

int T_QCCom32::InCount() {
  if (!device_) return 0;
  int n = device_->Waiting();
  return n > 0 ? n : 0;
}

std::string T_QCCom32::Read() {
  if (inUse_) {
    if (ShowErrors) ui_.Warning("Port is in use -- operation aborted");
    return {};
  }
  struct TInUse {
    bool& flag;
    explicit TInUse(bool& f) : flag(f) { flag = true; }
    ~TInUse() { flag = false; }
  } inUse(inUse_);
  if (!device_) return {};
  if (!EndOfResponse.empty()) return WaitForEndOfResponse();
  int n = InCount();
  return n > 0 ? device_->Read(n) : std::string();
}

std::string T_QCCom32::WaitForEndOfResponse() {
  std::string collected;
  timedOut_ = false;
  while (true) {
    const std::int64_t start = clock_.MonotonicMs();
    while (true) {
      // Window messages may have closed the port meanwhile.
      if (!device_) return collected;
      int n = InCount();
      if (n > 0) collected += device_->Read(n);
      if (Contains(collected, EndOfResponse)) return collected;
      if (clock_.MonotonicMs() - start >= ResponseTime) break;
      ui_.ProcessMessages();
      clock_.Pause(kWaitStepMs);
    }
    timedOut_ = true;
    if (OnTimeout) OnTimeout();
    if (!ShowErrors) return collected;
    if (ui_.AskAbortRetry("Timeout waiting for response.") == TAbortRetry::Abort) return collected;
  }
}

void T_QCCom32::Purge() {
  if (device_) device_->Purge();
}

bool T_QCCom32::EscapeFunction(int function) {
  if (!device_) return false;
  switch (function) {
    case SETRTS:
      return device_->SetRts(true);
    case CLRRTS:
      return device_->SetRts(false);
    case SETDTR:
      return device_->SetDtr(true);
    case CLRDTR:
      return device_->SetDtr(false);
    default:
      return false;
  }
}

}  // namespace korvo
