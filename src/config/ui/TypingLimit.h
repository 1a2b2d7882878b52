#pragma once

#include <QValidator>
#include <string>

class QLineEdit;

namespace korvo {

// How many characters the operator may type into a line edit. The limit is on typing only: a text
// the program shows (a value read from a terminal) is never cut, and the operator may shorten it
// but not make it longer. (QLineEdit's own maximum length would cut the text shown.) A limit of 0
// means no limit. Whatever the limit, "|" and control characters cannot be typed: the line would
// carry them as command separators.
class TTypingLimit : public QValidator {
  Q_OBJECT
 public:
  TTypingLimit(int limit, QObject* parent);
  State validate(QString& input, int& pos) const override;

  // Shows `text` whole in `edit`, with or without a typing limit.
  static void SetText(QLineEdit* edit, const QString& text);

 private:
  int limit_;
  // The longest text the edit may hold now: the limit, or a longer text the program showed, lowered
  // as the operator shortens it.
  mutable int ceiling_;
};

// A time field of four digits HHMM shown as "HH:MM": the operator types the digits, the colon comes
// by itself, and the field's value leaves it out.
class TTimeField : public QValidator {
  Q_OBJECT
 public:
  explicit TTimeField(QObject* parent) : QValidator(parent) {}
  State validate(QString& input, int& pos) const override;

  // The value as shown: a colon after its first two characters, whatever they are, so that a value
  // read from a terminal comes back unchanged from Value.
  static QString Shown(const std::string& value);
  static std::string Value(const QString& shown);
};

}  // namespace korvo
