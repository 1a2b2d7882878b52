#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvo {

// The console's result list, one entry per line. The window keeps its list box in step by
// overriding Clear and Add.
class TResultList {
 public:
  virtual ~TResultList() = default;
  virtual void Clear() { lines_.clear(); }
  virtual void Add(const std::string& line) { lines_.push_back(line); }
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// A reply with fewer words than the layout of its command reads.
class TShortReplyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A transaction listing longer than this empties the list before its next line.
inline constexpr int kResultLineLimit = 30000;

// Shows the reply to an upper-cased command in the list by the first layout that applies to the
// command (substring tests). `boxEmpty`: the operator pressed Enter on an empty box. `between` runs
// between the lines of a transaction listing, which may be long, so that the window keeps responding.
// Raises TShortReplyError when the layout reads a word the reply does not have.
void ShowReply(const std::string& command, bool boxEmpty, const std::string& reply, TResultList& list,
               const std::function<void()>& between = {});

// The listing of "DIR SYSTEM" after Delete all: the folder's used bytes, then one line per file
// with its size, records and longest record. A file group cut short (the listing's closing "*")
// is not shown.
void ShowSystemFolder(const std::string& reply, TResultList& list);

}  // namespace korvo
