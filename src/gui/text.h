// The engine's 8-bit strings as Qt strings and back, in the local 8-bit encoding.
#pragma once

#include <QString>
#include <string>

namespace morvik::gui {

inline QString Q(const std::string& text) {
  return QString::fromLocal8Bit(text.c_str());
}
inline std::string S(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

}  // namespace morvik::gui
