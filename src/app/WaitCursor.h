// The busy cursor for the length of a scope: tree building, retrieval,
// export, copy and print.
#pragma once

#include <QApplication>
#include <QCursor>

namespace kvq {

class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace kvq
