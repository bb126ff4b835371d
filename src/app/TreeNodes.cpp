#include "app/TreeNodes.h"

#include "app/EntryTreeModel.h"

namespace kvq {

void ForEachNodeEntry(const TEntryTreeModel& model, const QModelIndex& node,
                      const std::function<void(const TStationSensorItem&)>& add) {
  if (!node.isValid()) return;
  const int children = model.rowCount(node);
  if (children > 0) {
    for (int row = 0; row < children; ++row) ForEachNodeEntry(model, model.index(row, 0, node), add);
  } else if (const TStationSensorItem* entry = model.EntryOf(node)) {
    add(*entry);
  }
}

TStationSensorItem* StationNodeEntry(const TEntryTreeModel& model, const QModelIndex& node) {
  QModelIndex n = node;
  // a group node stands for its first station: walk down at most two levels
  for (int depth = 0; depth < 2 && n.isValid() && !model.EntryOf(n) && model.rowCount(n) > 0; ++depth)
    n = model.index(0, 0, n);
  return model.EntryOf(n);
}

TStationSensorItem* SensorNodeEntry(const TEntryTreeModel& model, const QModelIndex& node) {
  if (!node.isValid() || model.rowCount(node) > 0) return nullptr;
  return model.EntryOf(node);
}

}  // namespace kvq
