#include "config/ui/TypingLimit.h"

#include <QLineEdit>
#include <algorithm>
#include <limits>

namespace korvo {
namespace {

constexpr int kTimeDigits = 4;
constexpr int kColonAt = 2;

}  // namespace

TTypingLimit::TTypingLimit(int limit, QObject* parent)
    : QValidator(parent), limit_(limit > 0 ? limit : std::numeric_limits<int>::max()), ceiling_(limit_) {}

QValidator::State TTypingLimit::validate(QString& input, int&) const {
  // A "|" or a control character would split the value into commands of their own on the line.
  for (QChar c : input)
    if (c == QLatin1Char('|') || c.unicode() < 0x20) return Invalid;
  const auto length = static_cast<int>(input.size());
  if (length > ceiling_) return Invalid;
  ceiling_ = std::max(limit_, length);
  return Acceptable;
}

void TTypingLimit::SetText(QLineEdit* edit, const QString& text) {
  if (auto* limit = qobject_cast<const TTypingLimit*>(edit->validator()))
    limit->ceiling_ = std::max(limit->limit_, static_cast<int>(text.size()));
  edit->setText(text);
}

QValidator::State TTimeField::validate(QString& input, int& pos) const {
  QString digits;
  int digitsBeforeCursor = 0;
  for (int i = 0; i < input.size(); ++i) {
    const QChar c = input[i];
    if (c == ':' && i == kColonAt) continue;
    if (!c.isDigit()) return Invalid;
    digits += c;
    if (i < pos) ++digitsBeforeCursor;
  }
  if (digits.size() > kTimeDigits) return Invalid;
  input = Shown(digits.toStdString());
  pos = digitsBeforeCursor + (digitsBeforeCursor > kColonAt ? 1 : 0);
  return digits.size() == kTimeDigits || digits.isEmpty() ? Acceptable : Intermediate;
}

QString TTimeField::Shown(const std::string& value) {
  QString shown = QString::fromStdString(value);
  if (shown.size() > kColonAt) shown.insert(kColonAt, ':');
  return shown;
}

std::string TTimeField::Value(const QString& shown) {
  QString value = shown;
  if (value.size() > kColonAt && value[kColonAt] == ':') value.remove(kColonAt, 1);
  return value.toStdString();
}

}  // namespace korvo
