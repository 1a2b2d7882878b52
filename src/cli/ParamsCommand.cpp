#include <ostream>

#include "cli/CliCommands.h"
#include "link/CommandText.h"
#include "store/DataMod.h"

namespace korvo {

// korvo2k-cli params ADDRESS N...: reads terminal parameters, one "N=value" line each.
int ParamsCommandJob(TCliContext& c, const std::vector<std::string>& args) {
  if (args.size() < 2) {
    c.err << "usage: params ADDRESS N...\n";
    return 2;
  }
  // Only numbers: "PAR n" followed by anything else would write the parameter.
  std::string numbers;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i].empty() || args[i].find_first_not_of("0123456789") != std::string::npos) {
      c.err << "not a parameter number: " << args[i] << '\n';
      return 2;
    }
    numbers += args[i] + "\r";
  }
  const std::string values = c.dm.ReadParameters(args[0], numbers);
  const auto lines = SplitCommandLines(values);
  for (std::size_t i = 1; i < args.size(); ++i)
    c.out << args[i] << '=' << (i - 1 < lines.size() ? lines[i - 1] : std::string()) << '\n';
  return 0;
}

}  // namespace korvo
