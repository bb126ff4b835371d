// The station tree's model: nodes with a text, an icon kind and, for the node
// that received it last, an entry of the entry list (not owned). Built in one
// pass over the sorted entries.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <vector>

#include "data/DataDef.h"

namespace kvq {

// The icon of a node kind (also shown by the grouping combo for level 1).
QIcon NodeIcon(TNodeKind kind);

class TEntryTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // The MIME type of a drag from the tree; its data names no entry (the
  // retrieval list takes the tree's selected node).
  static constexpr const char* kMimeType = "application/x-kvquillon-tree-node";

  explicit TEntryTreeModel(QObject* parent = nullptr);
  ~TEntryTreeModel() override;

  // Rebuilds the nodes from the entries in their order, filing each under its
  // three tree levels (equal neighbouring labels merge, letter case ignored).
  // The entries must outlive the model's nodes (until the next Build or Clear).
  void Build(const TStationSensorCache& entries);
  void Clear();

  // The entry a node refers to, or null.
  TStationSensorItem* EntryOf(const QModelIndex& index) const;
  TNodeKind KindOf(const QModelIndex& index) const;
  int NodeCount() const { return static_cast<int>(nodes_.size()); }

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 private:
  struct Node {
    std::string Text;
    TNodeKind Kind = TNodeKind::None;
    TStationSensorItem* Entry = nullptr;
    int Parent = -1;  // index into nodes_, -1 for top level
    int Row = 0;      // position among its siblings
    std::vector<int> Children;
  };
  int AddNode(int parent, const std::string& text, TNodeKind kind);
  std::vector<Node> nodes_;
  std::vector<int> roots_;
};

}  // namespace kvq
