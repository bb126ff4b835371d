// The pictures of the main window's commands (toolbar and menus).
#pragma once

#include <QIcon>
#include <QString>

namespace kvq {

// The icon of the action called `actionName` ("OpenSensorFile", "actPrint"
// ...); a null icon for actions without a picture.
QIcon ActionIcon(const QString& actionName);

}  // namespace kvq
