// The series colour table of the graph: 37 slots, slot 0 black and never
// given to a series, slots 1 to 36 in the order series receive them.
#pragma once

#include <QColor>

#include <array>

namespace kvq {

// The table the graph view installs as its series colours. The repeated
// colours (5 and 27, 4 and 24 ...) are part of the table users know.
const std::array<QColor, 37>& ChartPalette();

}  // namespace kvq
