#pragma once

#include <QObject>
#include <QString>
#include <string>

// Short conversions for the windows, which move texts between the core (UTF-8 std::string) and Qt.
namespace korvo {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

inline std::string S(const QString& text) {
  return text.toStdString();
}

// `object` with its object name set, for building controls the tests and the layouts find by name.
template <class W>
W* Named(W* object, const char* name) {
  object->setObjectName(name);
  return object;
}

}  // namespace korvo
