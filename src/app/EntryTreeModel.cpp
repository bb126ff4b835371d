#include "app/EntryTreeModel.h"

#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

#include <map>

#include "app/PaintedIcon.h"
#include "foundation/Directive.h"

namespace kvq {

namespace {

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

// A small drawn icon: a shape and a letter in the colour of the node kind.
void PaintNode(QPainter& p, TNodeKind kind) {
  auto badge = [&](QColor colour, const QString& letter) {
    p.setBrush(colour);
    p.setPen(colour.darker(140));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, letter);
  };
  switch (kind) {
    case TNodeKind::DataFile: {  // a page with a folded corner
      QPainterPath page;
      page.moveTo(3, 1.5);
      page.lineTo(10, 1.5);
      page.lineTo(13.5, 5);
      page.lineTo(13.5, 14.5);
      page.lineTo(3, 14.5);
      page.closeSubpath();
      p.setBrush(QColor(250, 250, 255));
      p.setPen(QColor(40, 70, 150));
      p.drawPath(page);
      for (int y : {7, 9, 11}) p.drawLine(5, y, 11, y);
      break;
    }
    case TNodeKind::Station: {  // a mast
      p.setPen(QPen(QColor(20, 110, 40), 1.6));
      p.drawLine(QPointF(8, 2), QPointF(3.5, 14.5));
      p.drawLine(QPointF(8, 2), QPointF(12.5, 14.5));
      p.drawLine(QPointF(5.5, 9), QPointF(10.5, 9));
      p.setBrush(QColor(220, 40, 40));
      p.drawEllipse(QPointF(8, 2.5), 1.6, 1.6);
      break;
    }
    case TNodeKind::Sensor:
      p.setBrush(QColor(240, 150, 30));
      p.setPen(QColor(150, 80, 0));
      p.drawEllipse(QRectF(3, 3, 10, 10));
      break;
    case TNodeKind::SensorLabel: badge(QColor(130, 60, 160), "L"); break;
    case TNodeKind::Basin: badge(QColor(30, 120, 200), "B"); break;
    case TNodeKind::Agency: badge(QColor(90, 90, 90), "A"); break;
    case TNodeKind::District: badge(QColor(150, 100, 40), "D"); break;
    case TNodeKind::City: badge(QColor(200, 70, 70), "C"); break;
    case TNodeKind::County: badge(QColor(60, 140, 120), "Y"); break;
    case TNodeKind::State: badge(QColor(100, 80, 180), "S"); break;
    case TNodeKind::Country: badge(QColor(40, 100, 60), "N"); break;
    case TNodeKind::PrimaryChannel: badge(QColor(120, 120, 140), "P"); break;
    case TNodeKind::RandomChannel: badge(QColor(160, 120, 140), "R"); break;
    default: break;
  }
}

}  // namespace

QIcon NodeIcon(TNodeKind kind) {
  static std::map<TNodeKind, QIcon> icons;
  auto it = icons.find(kind);
  if (it == icons.end()) it = icons.emplace(kind, PaintedIcon([kind](QPainter& p) { PaintNode(p, kind); })).first;
  return it->second;
}

TEntryTreeModel::TEntryTreeModel(QObject* parent) : QAbstractItemModel(parent) {}
TEntryTreeModel::~TEntryTreeModel() = default;

int TEntryTreeModel::AddNode(int parent, const std::string& text, TNodeKind kind) {
  Node n;
  n.Text = text;
  n.Kind = kind;
  n.Parent = parent;
  std::vector<int>& siblings = parent < 0 ? roots_ : nodes_[static_cast<std::size_t>(parent)].Children;
  n.Row = static_cast<int>(siblings.size());
  nodes_.push_back(std::move(n));
  const int index = static_cast<int>(nodes_.size()) - 1;
  (parent < 0 ? roots_ : nodes_[static_cast<std::size_t>(parent)].Children).push_back(index);
  return index;
}

void TEntryTreeModel::Clear() {
  beginResetModel();
  nodes_.clear();
  roots_.clear();
  endResetModel();
}

void TEntryTreeModel::Build(const TStationSensorCache& entries) {
  beginResetModel();
  nodes_.clear();
  roots_.clear();
  nodes_.reserve(static_cast<std::size_t>(entries.Count()) * 2 + 16);
  int current = -1;
  auto top = [&](int n) {
    while (n >= 0 && nodes_[static_cast<std::size_t>(n)].Parent >= 0) n = nodes_[static_cast<std::size_t>(n)].Parent;
    return n;
  };
  for (int i = 0; i < entries.Count(); ++i) {
    TStationSensorItem* e = entries.Items(i);
    const TTreeLevel& l1 = e->TreeLevels[0];
    const TTreeLevel& l2 = e->TreeLevels[1];
    const TTreeLevel& l3 = e->TreeLevels[2];
    const int root = current >= 0 ? top(current) : (nodes_.empty() ? -1 : top(static_cast<int>(nodes_.size()) - 1));
    const std::string text1 = Blank(l1.Label) ? std::string("<NULL>") : l1.Label;
    int n1 = root;
    if (root < 0 || !SameText(nodes_[static_cast<std::size_t>(root)].Text, text1))
      n1 = AddNode(-1, text1, l1.Kind);
    nodes_[static_cast<std::size_t>(n1)].Kind = l1.Kind;
    if (l2.Label.empty()) {
      nodes_[static_cast<std::size_t>(n1)].Entry = e;
      current = n1;
      continue;
    }
    const auto& children = nodes_[static_cast<std::size_t>(n1)].Children;
    int n2 = children.empty() ? -1 : children.back();
    if (n2 < 0 || !SameText(nodes_[static_cast<std::size_t>(n2)].Text, l2.Label)) n2 = AddNode(n1, l2.Label, l2.Kind);
    nodes_[static_cast<std::size_t>(n2)].Kind = l2.Kind;
    if (l3.Label.empty()) {
      nodes_[static_cast<std::size_t>(n2)].Entry = e;
      current = n2;
      continue;
    }
    const int n3 = AddNode(n2, l3.Label, l3.Kind);
    nodes_[static_cast<std::size_t>(n3)].Entry = e;
    current = n3;
  }
  endResetModel();
}

TStationSensorItem* TEntryTreeModel::EntryOf(const QModelIndex& index) const {
  if (!index.isValid()) return nullptr;
  return nodes_[static_cast<std::size_t>(index.internalId())].Entry;
}

TNodeKind TEntryTreeModel::KindOf(const QModelIndex& index) const {
  if (!index.isValid()) return TNodeKind::None;
  return nodes_[static_cast<std::size_t>(index.internalId())].Kind;
}

QModelIndex TEntryTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const std::vector<int>& siblings =
      parent.isValid() ? nodes_[static_cast<std::size_t>(parent.internalId())].Children : roots_;
  if (row >= static_cast<int>(siblings.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(siblings[static_cast<std::size_t>(row)]));
}

QModelIndex TEntryTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const int p = nodes_[static_cast<std::size_t>(child.internalId())].Parent;
  if (p < 0) return {};
  return createIndex(nodes_[static_cast<std::size_t>(p)].Row, 0, static_cast<quintptr>(p));
}

int TEntryTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(parent.isValid() ? nodes_[static_cast<std::size_t>(parent.internalId())].Children.size()
                                           : roots_.size());
}

int TEntryTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TEntryTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Node& n = nodes_[static_cast<std::size_t>(index.internalId())];
  if (role == Qt::DisplayRole) return QString::fromStdString(n.Text);
  if (role == Qt::DecorationRole) return NodeIcon(n.Kind);
  return {};
}

Qt::ItemFlags TEntryTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList TEntryTreeModel::mimeTypes() const { return {QString::fromLatin1(kMimeType)}; }

QMimeData* TEntryTreeModel::mimeData(const QModelIndexList& indexes) const {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kMimeType), QByteArray::number(indexes.size()));
  return data;
}

}  // namespace kvq
