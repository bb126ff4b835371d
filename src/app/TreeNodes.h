// What the main window's commands find under a node of the station tree.
#pragma once

#include <QModelIndex>

#include <functional>

namespace kvq {

class TEntryTreeModel;
class TStationSensorItem;

// Calls `add` for the entries beneath `node` in tree order: a node with
// children hands on to each child, a leaf gives its entry (if any).
void ForEachNodeEntry(const TEntryTreeModel& model, const QModelIndex& node,
                      const std::function<void(const TStationSensorItem&)>& add);

// The entry Station Properties shows for `node`: its own, else that of its
// first child, else that of the child's first child; null when none of the
// three carries one. The entry belongs to the entry list.
TStationSensorItem* StationNodeEntry(const TEntryTreeModel& model, const QModelIndex& node);

// The entry Sensor Properties shows: that of a leaf node, else null.
TStationSensorItem* SensorNodeEntry(const TEntryTreeModel& model, const QModelIndex& node);

}  // namespace kvq
