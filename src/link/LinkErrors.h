#pragma once

#include <stdexcept>
#include <string>

namespace korvo {

// A terminal conversation refused before anything was sent.
class TLinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The address is no row of tTerminals: a typo must not reach whichever terminal sorts next to it.
class TUnknownTerminalError : public TLinkError {
 public:
  explicit TUnknownTerminalError(const std::string& address)
      : TLinkError("No terminal has the address " + address + ".") {}
};

// The terminal's row holds a port number the link cannot use.
class TTerminalPortError : public TLinkError {
 public:
  using TLinkError::TLinkError;
};

// A conversation was asked for while another one runs on the shared port.
class TConversationBusyError : public TLinkError {
 public:
  TConversationBusyError() : TLinkError("A terminal conversation is already running.") {}
};

}  // namespace korvo
