#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/SerialDevice.h"

namespace korvo {

class TClock;
class TOperatorUi;

// The serial port object: one COM port, opened by number with the line settings below.
//
//   SetPort/SetBaud/SetByte/SetParity/SetStop  change a setting; a different value while the port is
//                                              open reopens it, the same value does nothing
//   Open()            closes first if open; Abort/Retry "Error opening COM<n>: " + device path + ": " +
//                     the system's reason when ShowErrors
//   Write(text)       true when every byte went out; false on a closed port
//   Read()            the bytes waiting now, never blocks (unless EndOfResponse is set, see there)
//   InCount()         bytes waiting, 0 when closed
//   Purge()           discard both directions
//   EscapeFunction(f) SETRTS 3, CLRRTS 4, SETDTR 5, CLRDTR 6; false when closed or the line has no
//                     such signal (a pseudo-terminal has no RTS: callers go on regardless)
//   Close()           release; closing a closed port does nothing
//
// Every wait goes through the clock, so the port works against virtual time in tests. The device
// comes from a factory: production opens termios devices, tests inject scripted ones.
class T_QCCom32 {
 public:
  static constexpr int SETRTS = 3;
  static constexpr int CLRRTS = 4;
  static constexpr int SETDTR = 5;
  static constexpr int CLRDTR = 6;

  T_QCCom32(TClock& clock, TOperatorUi& ui, std::unique_ptr<TSerialDeviceFactory> factory);
  ~T_QCCom32();
  T_QCCom32(const T_QCCom32&) = delete;
  T_QCCom32& operator=(const T_QCCom32&) = delete;

  // Closes the port; later opens use the new factory.
  void SetDeviceFactory(std::unique_ptr<TSerialDeviceFactory> factory);

  int Port() const { return port_; }
  void SetPort(int value);
  int Baud() const { return baud_; }
  void SetBaud(int value);
  int Byte() const { return byte_; }
  void SetByte(int value);
  int Parity() const { return parity_; }
  void SetParity(int value);
  int Stop() const { return stop_; }
  void SetStop(int value);

  // Taken into account at the next Open.
  bool XonXoff = false;
  bool DtrDsr = false;
  bool ShowErrors = true;
  // With EndOfResponse set, Read collects until that text arrives or ResponseTime ms have passed.
  int ResponseTime = 1000;
  std::string EndOfResponse;
  std::function<void()> OnTimeout;

  bool Opened() const { return device_ != nullptr; }
  // The device's handle, -1 when closed.
  int Handle() const;
  bool InUse() const { return inUse_; }
  bool TimedOut() const { return timedOut_; }

  bool Open();
  void Close();
  bool Write(std::string_view text);
  std::string Read();
  int InCount();
  void Purge();
  bool EscapeFunction(int function);

 private:
  void Reopen();
  std::string WaitForEndOfResponse();

  TClock& clock_;
  TOperatorUi& ui_;
  std::unique_ptr<TSerialDeviceFactory> factory_;
  std::unique_ptr<TSerialDevice> device_;
  int port_ = 1;
  int baud_ = 9600;
  int byte_ = 8;
  int parity_ = 0;
  int stop_ = 1;
  bool inUse_ = false;
  bool timedOut_ = false;
};

}  // namespace korvo
