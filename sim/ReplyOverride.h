#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Reply.h"

namespace korvosim {

// A scripted answer that takes the place of the terminal's own for the command lines it matches, so a test
// can make one command misbehave while the rest of the conversation stays normal.
struct ReplyOverride {
  enum class Kind {
    Text,     // `text` goes out instead of the answer; the command does not run
    Fail,     // "FAIL": the terminal refuses; the command does not run
    Silent,   // no answer at all; the command does not run
    Partial,  // the command runs and the first `bytes` bytes of its answer go out, then nothing
    Restart,  // the terminal restarts on the line: the line is lost, nothing is answered, and an upload
              // in progress stops with the records it took, as after a power cut
  };

  // A prefix of the command line that does not end inside a word; see `overrideMatches`.
  std::string match{};
  Kind kind = Kind::Fail;
  // Text: the reply. A line end (CR LF) is added unless the text already ends with CR or LF.
  std::string text{};
  // Partial: how many bytes of the normal answer go out.
  std::size_t bytes = 0;
  // How many matching command lines it takes, after which the normal answer resumes; 0: all of them.
  int times = 0;
};

// True when `line` is a command line `match` is meant for. Both are compared upper-cased, without leading and
// trailing blanks and with each run of blanks as one: `match` must be how the line starts and must not stop
// inside a word (letters and digits). "PAR 7" takes "PAR 7" and "PAR 7 abc", not "PAR 70"; "TYPE TRANS\"
// takes "TYPE TRANS\" and "TYPE TRANS\010124.DAT"; "GETVER" takes "getver".
bool overrideMatches(std::string_view match, std::string_view line);

// The reply a Text override sends: its token and listing flag read from the text as the PC would.
Reply fixedReply(std::string text);
// The first `bytes` bytes of `normal`; a cut reply has lost its completion token.
Reply partialReply(Reply normal, std::size_t bytes);

// The overrides of one terminal, in the order they were added; the first that matches a line takes it.
class ReplyOverrides {
 public:
  // Throws std::invalid_argument for an empty match or a negative count.
  void add(ReplyOverride o);
  void clear() { list_.clear(); }
  // Those still in force; `times` counts the uses left.
  const std::vector<ReplyOverride>& list() const { return list_; }
  // The override for this line, with one of its uses spent.
  std::optional<ReplyOverride> take(std::string_view line);

 private:
  std::vector<ReplyOverride> list_;
};

}  // namespace korvosim
