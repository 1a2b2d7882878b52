#include "cli/LineEditor.h"

#include <termios.h>
#include <unistd.h>

#include <ostream>

namespace korvo {
namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CharCount(const std::string& s, std::size_t from, std::size_t to) {
  std::size_t n = 0;
  for (std::size_t i = from; i < to; ++i)
    if (!IsContinuation(s[i])) ++n;
  return n;
}

}  // namespace

std::size_t TLineEditor::PreviousChar() const {
  std::size_t i = cursor_;
  while (i > 0 && IsContinuation(text_[--i])) {
  }
  return i;
}

std::size_t TLineEditor::NextChar() const {
  std::size_t i = cursor_;
  if (i < text_.size()) ++i;
  while (i < text_.size() && IsContinuation(text_[i])) ++i;
  return i;
}

void TLineEditor::Show(std::string text) {
  text_ = std::move(text);
  cursor_ = text_.size();
}

void TLineEditor::Browse(int step) {
  if (step < 0 && index_ == 0) return;
  if (step > 0 && index_ >= history_.size()) return;
  if (index_ == history_.size()) draft_ = text_;
  index_ = static_cast<std::size_t>(static_cast<long>(index_) + step);
  Show(index_ == history_.size() ? draft_ : history_[index_]);
}

void TLineEditor::Escape(char byte) {
  escape_ += byte;
  // ESC [ or ESC O, then parameters, then the final letter or "~".
  if (escape_.size() < 3 || (escape_.back() >= '0' && escape_.back() <= '9')) {
    if (escape_.size() < 8) return;
  }
  const std::string seq = escape_;
  escape_.clear();
  if (seq == "\x1b[A" || seq == "\x1bOA") Browse(-1);
  if (seq == "\x1b[B" || seq == "\x1bOB") Browse(1);
  if (seq == "\x1b[C" || seq == "\x1bOC") cursor_ = NextChar();
  if (seq == "\x1b[D" || seq == "\x1bOD") cursor_ = PreviousChar();
  if (seq == "\x1b[H" || seq == "\x1bOH" || seq == "\x1b[1~") cursor_ = 0;
  if (seq == "\x1b[F" || seq == "\x1bOF" || seq == "\x1b[4~") cursor_ = text_.size();
  if (seq == "\x1b[3~") text_.erase(cursor_, NextChar() - cursor_);
}

TLineEditor::TState TLineEditor::Feed(char byte) {
  if (!escape_.empty()) {
    Escape(byte);
    return TState::Editing;
  }
  return Key(byte);
}

TLineEditor::TState TLineEditor::Key(char byte) {
  switch (byte) {
    case '\r':
    case '\n':
      return TState::Done;
    case 0x03:  // Ctrl+C
      text_.clear();
      cursor_ = 0;
      return TState::Cancelled;
    case 0x04:  // Ctrl+D
      if (text_.empty()) return TState::EndOfInput;
      text_.erase(cursor_, NextChar() - cursor_);
      return TState::Editing;
    case 0x1b:
      escape_ = "\x1b";
      return TState::Editing;
    case 0x7f:
    case 0x08: {
      const std::size_t from = PreviousChar();
      text_.erase(from, cursor_ - from);
      cursor_ = from;
      return TState::Editing;
    }
    case 0x01:
      cursor_ = 0;
      return TState::Editing;
    case 0x05:
      cursor_ = text_.size();
      return TState::Editing;
    case 0x02:
      cursor_ = PreviousChar();
      return TState::Editing;
    case 0x06:
      cursor_ = NextChar();
      return TState::Editing;
    case 0x10:
      Browse(-1);
      return TState::Editing;
    case 0x0e:
      Browse(1);
      return TState::Editing;
    case 0x15:  // Ctrl+U: the text before the cursor goes
      text_.erase(0, cursor_);
      cursor_ = 0;
      return TState::Editing;
    case 0x18:  // Ctrl+X
      if (recall_) Show(recall_());
      return TState::Editing;
    default:
      if (static_cast<unsigned char>(byte) >= 0x20) text_.insert(cursor_++, 1, byte);
      return TState::Editing;
  }
}

std::string TLineEditor::Render(const std::string& prompt) const {
  std::string out = "\r" + prompt + text_ + "\x1b[K";
  const std::size_t back = CharCount(text_, cursor_, text_.size());
  if (back > 0) out += "\x1b[" + std::to_string(back) + "D";
  return out;
}

std::optional<std::string> ReadEditedLine(int fd, std::ostream& out, const std::string& prompt,
                                          const std::vector<std::string>& history,
                                          const std::function<std::string()>& recall) {
  termios saved{};
  const bool raw = tcgetattr(fd, &saved) == 0;
  if (raw) {
    termios t = saved;
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSADRAIN, &t);
  }
  TLineEditor editor(history, recall);
  out << editor.Render(prompt) << std::flush;
  TLineEditor::TState state = TLineEditor::TState::Editing;
  while (state == TLineEditor::TState::Editing) {
    char byte = 0;
    if (read(fd, &byte, 1) != 1) {
      state = TLineEditor::TState::EndOfInput;
      break;
    }
    state = editor.Feed(byte);
    out << editor.Render(prompt) << std::flush;
  }
  if (raw) tcsetattr(fd, TCSADRAIN, &saved);
  out << "\r\n" << std::flush;
  if (state == TLineEditor::TState::EndOfInput) return std::nullopt;
  return editor.Text();
}

}  // namespace korvo
