#pragma once

#include <optional>
#include <string>

#include "collect/MappingTable.h"

namespace korvo {

class TDatabase;
class TOperatorUi;
struct TLinkContext;

// The terminal list as the Communication window's grid and the command line edit it: address, number,
// location and serial port of every tTerminals row, in the order of the address.
inline const TMappingTableDef kTerminalsTable{"tTerminals",
                                              {"fsAddr", "fsTermNo", "fsLocation", "fnPort"},
                                              {50, 3, 15, 10},
                                              {false, false, false, true}};

inline constexpr const char* kCommunicationOk = "Communication OK";
inline constexpr const char* kCommunicationError = "Communication Error";

// The values of one terminal row as typed, before they are stored.
struct TTerminalFields {
  std::string address;
  std::string termNo;
  std::string location;
  std::string port;
};

// Why these values cannot be stored, or nothing: the address, number and location must fit the
// settings record (50, 3 and 15 characters) and the port must be a whole number. The window's
// editors refuse such input as it is typed; the command line checks it here.
std::optional<std::string> RefuseTerminalFields(const TTerminalFields& fields);

// The warning for a stored terminal whose location is empty or also names another terminal, or
// nothing. The tree, the status bar and the title panels of the windows name terminals by their
// location, so such a terminal cannot be told apart there; the row is kept all the same.
std::optional<std::string> LocationWarning(TDatabase& db, const std::string& address);

// Sends "GETVER" to the terminal and tells "Communication OK" (information) when the reply, in upper
// case, holds "KORVO", and "Communication Error" (error box) otherwise. True for OK.
bool TestCommunication(TLinkContext& link, TOperatorUi& ui, const std::string& address);

}  // namespace korvo
