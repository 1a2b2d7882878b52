#include "main/TerminalTree.h"

#include <exception>

#include "main/FieldSplit.h"
#include "store/DataMod.h"

namespace korvo {

std::string TerminalLabel(const std::string& location, const std::string& address) {
  return location + " [" + address + "]";
}

std::vector<TTerminalNode> BuildTerminalTree(TDM& dm) {
  std::vector<TTerminalNode> tree;
  try {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT * FROM tTerminals ORDER BY fsAddr");
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
      std::string address = q.FieldByName("fsAddr").AsString();
      TTerminalNode node{TerminalLabel(q.FieldByName("fsLocation").AsString(), address), {}};
      bool child = SplitDelimitedFields(address, '@').size() >= 2;
      if (child && !tree.empty())
        tree.back().children.push_back(std::move(node));
      else
        tree.push_back(std::move(node));
    }
  } catch (const std::exception&) {
    // The tree shows what could be read; the operator sees the rest missing.
  }
  return tree;
}

}  // namespace korvo
