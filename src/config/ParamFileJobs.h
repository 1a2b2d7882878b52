#pragma once

#include <string>
#include <vector>

#include "config/ParamFile.h"
#include "config/ParamRead.h"

namespace korvo {

struct TLinkContext;

// A terminal's parameters read for a file.
struct TParamFileRead {
  TPageRead result = TPageRead::NoAccess;
  // Only when the result is Done.
  TParamFileContent content;
  // Every page and every fingerprint module value came back with a value.
  bool complete = false;
};

// What the parameter screen reads, for the pages given: the blank probe, the pages, "GETVER" and
// the fingerprint module values. A module value must read as a number; anything else (also "--")
// is no value.
TParamFileRead ReadParamFile(TLinkContext& link, const std::string& address, const std::string& location,
                             const std::vector<int>& pages);

// What the parameter screen's Default followed by a Send of every page sends: the factory values of
// the controls as the store step turns them into values, and the module values. The parameters
// whose values such a Send takes from the last read (DefaultLeftOut) are left out.
TParamFileContent DefaultParamFile();
extern const std::vector<int> DefaultLeftOut;

struct TParamFileSend {
  // The addresses that left a line without an answer ("--"), in the order they were sent to.
  std::vector<std::string> silent;
  bool stopped = false;
};

// The file's module values present to `address` alone, in the screen's send order; then the file's
// parameters in the file's order and "RESTART" to each target in turn. With no parameter in the
// file no target gets anything. The answer to "RESTART" is not judged: a terminal may restart
// before it answers.
TParamFileSend SendParamFile(TLinkContext& link, const TParamFile& file, const std::string& address,
                             const std::vector<std::string>& targets);

}  // namespace korvo
