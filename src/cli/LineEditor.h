#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace korvo {

// One line typed at a terminal, edited in place: the cursor keys, Home / End (also Ctrl+A / Ctrl+E),
// Backspace and Delete, Ctrl+U (the text before the cursor), Up / Down (also Ctrl+P / Ctrl+N) through the
// lines entered before, and Ctrl+X, which puts `recall`'s text back with the cursor at its end. Fed one byte
// at a time.
class TLineEditor {
 public:
  enum class TState { Editing, Done, Cancelled, EndOfInput };

  TLineEditor(const std::vector<std::string>& history, std::function<std::string()> recall)
      : history_(history), recall_(std::move(recall)), index_(history.size()) {}

  TState Feed(char byte);
  const std::string& Text() const { return text_; }
  std::size_t Cursor() const { return cursor_; }
  // The line as drawn over the current one: prompt, text, the rest of the line cleared, and the
  // cursor moved back to its place.
  std::string Render(const std::string& prompt) const;

 private:
  TState Key(char byte);
  void Escape(char byte);
  void Show(std::string text);
  void Browse(int step);
  std::size_t PreviousChar() const;
  std::size_t NextChar() const;

  const std::vector<std::string>& history_;
  std::function<std::string()> recall_;
  std::string text_;
  std::size_t cursor_ = 0;
  std::size_t index_;   // into the history; its size: the line being typed
  std::string draft_;   // the line being typed while the history is browsed
  std::string escape_;  // an escape sequence read so far
};

// Reads one line from the terminal on `fd` with the editor, drawing on `out`; the terminal is in raw
// mode only while the line is read. Nothing at the end of the input (Ctrl+D on an empty line); an
// empty line after Ctrl+C.
std::optional<std::string> ReadEditedLine(int fd, std::ostream& out, const std::string& prompt,
                                          const std::vector<std::string>& history,
                                          const std::function<std::string()>& recall);

}  // namespace korvo
