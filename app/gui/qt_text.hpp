#pragma once
// The program's texts are UTF-8 string_views; Qt wants QStrings.
#include <QString>

#include <string_view>

namespace orva::gui {

inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace orva::gui
