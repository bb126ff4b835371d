#include "app/ChartPalette.h"

namespace kvq {

const std::array<QColor, 37>& ChartPalette() {
  static const std::array<QColor, 37> palette{
      QColor(0, 0, 0),                                                                          // 0: not assigned
      QColor(255, 0, 0),     QColor(0, 128, 0),     QColor(0, 0, 255),     QColor(255, 0, 255),  // 1-4
      QColor(0, 128, 128),   QColor(0, 0, 128),     QColor(128, 0, 0),     QColor(0, 255, 0),    // 5-8
      QColor(128, 128, 0),   QColor(128, 0, 128),   QColor(0, 255, 255),   QColor(0, 0, 0),      // 9-12
      QColor(128, 128, 64),  QColor(64, 0, 64),     QColor(64, 0, 128),    QColor(128, 0, 255),  // 13-16
      QColor(255, 0, 128),   QColor(255, 128, 128), QColor(0, 128, 255),   QColor(255, 128, 192),  // 17-20
      QColor(255, 128, 255), QColor(0, 128, 192),   QColor(128, 128, 192), QColor(255, 0, 255),  // 21-24
      QColor(128, 64, 64),   QColor(255, 128, 64),  QColor(0, 128, 128),   QColor(0, 64, 128),   // 25-28
      QColor(128, 0, 64),    QColor(128, 0, 0),     QColor(0, 128, 0),     QColor(0, 0, 160),    // 29-32
      QColor(128, 0, 128),   QColor(128, 128, 0),   QColor(166, 202, 240), QColor(192, 220, 192),  // 33-36
  };
  return palette;
}

}  // namespace kvq
