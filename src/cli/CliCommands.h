#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvo {

// The whole front end: options, start-up, the command, shut-down. Returns the exit code.
// `errIsTerminal` says that `err` is shown on a terminal, where long jobs draw a progress line.
// Commands that read a file named "-" read `in`, std::cin when it is null.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false, std::istream* in = nullptr);

}  // namespace korvo
