#pragma once

#include <string>
#include <vector>

namespace korvo {

struct TLinkContext;
class TParamTable;
class THardwareForm;

enum class TPageRead {
  Done,
  NoAccess,  // the blank probe was not answered with "--"
  NoAnswer,  // not one of the 55 parameters came back with a value
  Stopped,   // the operator asked the job to stop
};

// The blank probe, then the parameters of the five pages into the table, with the notices "0-55"
// then 1 to 55. A page whose values all come back empty leaves its entries as they were.
TPageRead ReadParamPages(TLinkContext& link, const std::string& address, TParamTable& table);
// The same for the pages given, in that order, with the notices counting their numbers only.
// `silent`, when given, gets the pages whose values all came back empty.
TPageRead ReadParamPages(TLinkContext& link, const std::string& address, TParamTable& table,
                         const std::vector<int>& pages, std::vector<int>* silent = nullptr);

// The trimmed reply to "SFMPAR n".
std::string ReadModuleValue(TLinkContext& link, const std::string& address, int number);

// The whole read of the parameter screen: pages, controls, firmware version, fingerprint module
// values. A terminal that cannot be reached or answers no parameter is reported as "Can't access to "
// + location; any error ends the read silently with what was filled so far. False unless every
// step was done; the form may then not be sent until it is read again or defaulted.
bool ReadTerminalParams(TLinkContext& link, const std::string& address, const std::string& location,
                        TParamTable& table, THardwareForm& form);

// Reset: the values last read shown again, then the firmware version and the fingerprint module
// values read anew; no parameter is read.
void ResetParams(TLinkContext& link, const std::string& address, const std::string& location,
                 const TParamTable& table, THardwareForm& form);

}  // namespace korvo
