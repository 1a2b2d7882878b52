#pragma once

#include <string>
#include <vector>

namespace korvo {

class TDM;

// A node of the terminal tree. The label is the only place where a node keeps its address.
struct TTerminalNode {
  std::string label;
  std::vector<TTerminalNode> children;
  bool operator==(const TTerminalNode&) const = default;
};

// Location + " [" + address + "]"; an empty location leaves the label beginning with the blank.
std::string TerminalLabel(const std::string& location, const std::string& address);

// The tree of every row of "SELECT * FROM tTerminals ORDER BY fsAddr": an address of one field is a
// top-level node, one with an "@" part (or a blank) is a child of the last top-level node before
// it. A database error ends the build with the nodes so far, without a message.
std::vector<TTerminalNode> BuildTerminalTree(TDM& dm);

}  // namespace korvo
