#include "app/RetrievalList.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

#include "app/QtTime.h"
#include "foundation/Directive.h"

namespace kvq {

namespace {

// A row of the list, owning its copy of the entry.
class TRowItem : public QTreeWidgetItem {
 public:
  explicit TRowItem(const TStationSensorItem& entry) : entry_(std::make_unique<TStationSensorItem>()) {
    entry_->Assign(entry);
  }
  TStationSensorItem& Entry() { return *entry_; }

 private:
  std::unique_ptr<TStationSensorItem> entry_;
};

TRowItem* Row(QTreeWidget* list, int row) { return static_cast<TRowItem*>(list->topLevelItem(row)); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Trimmed(std::string s) {
  const std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const std::size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// The first entry whose StationID, SensorName and DataFile equal the parts.
const TStationSensorItem* FindEntry(const TStationSensorCache& entries, const std::string& station,
                                    const std::string& sensor, const std::string& file) {
  const std::string s = Trimmed(station), n = Trimmed(sensor), f = Trimmed(file);
  for (int i = 0; i < entries.Count(); ++i) {
    const TStationSensorItem* e = entries.Items(i);
    if (SameText(Trimmed(e->StationID), s) && SameText(Trimmed(e->SensorName), n) && SameText(Trimmed(e->DataFile), f))
      return e;
  }
  return nullptr;
}

// The first three comma-separated parts of a key.
std::array<std::string, 3> SplitKey(const std::string& key) {
  std::array<std::string, 3> parts;
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = key.find(',', start);
    if (comma == std::string::npos) {
      if (start <= key.size()) parts[static_cast<std::size_t>(i)] = key.substr(start);
      start = key.size() + 1;
    } else {
      parts[static_cast<std::size_t>(i)] = key.substr(start, comma - start);
      start = comma + 1;
    }
  }
  return parts;
}

}  // namespace

QString LastUpdateText(DateTimeValue lastUpdate) {
  return lastUpdate > 0 ? LocaleDateTimeText(lastUpdate) : QStringLiteral("Never");
}

TRetrievalList::TRetrievalList(QTreeWidget* list, QObject* parent) : QObject(parent), list_(list) {
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setUniformRowHeights(true);
  SetMode(0, false);
}

TRetrievalList::~TRetrievalList() = default;

void TRetrievalList::SetMode(int sourceType, bool postProcessed) {
  sourceType_ = sourceType;
  postProcessed_ = postProcessed;
  const bool database = sourceType >= 4 && sourceType <= 6;
  lastUpdateMode_ = database && !postProcessed;
  QStringList captions{QStringLiteral("StationID"), QStringLiteral("SensorName")};
  std::vector<int> widths{100, 100};
  if (!database) {
    captions << QStringLiteral("StartTime") << QStringLiteral("EndTime") << QStringLiteral("DataFile");
    widths.insert(widths.end(), {80, 80, 80});
  } else if (postProcessed) {
    captions << QStringLiteral("SensorLabel");
    widths.push_back(100);
  } else {
    captions << QStringLiteral("LastUpdate");
    widths.push_back(120);
  }
  list_->setColumnCount(static_cast<int>(captions.size()));
  list_->setHeaderLabels(captions);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c) list_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
  descending_.resize(static_cast<std::size_t>(captions.size()), false);
  for (int r = 0; r < Count(); ++r) WriteRow(r);
}

void TRetrievalList::WriteRow(int row) {
  TRowItem* item = Row(list_, row);
  const TStationSensorItem& e = item->Entry();
  item->setText(0, Q(e.StationID));
  item->setText(1, Q(e.SensorName));
  for (int c = 2; c < 5; ++c) item->setText(c, QString());
  const bool database = sourceType_ >= 4 && sourceType_ <= 6;
  if (!database) {
    item->setText(2, Q(e.StartTime));
    item->setText(3, Q(e.EndTime));
    item->setText(4, Q(e.DataFile));
  } else if (postProcessed_) {
    item->setText(2, Q(e.SensorLabel));
  } else {
    item->setText(2, LastUpdateText(e.LastUpdate));
  }
}

std::string TRetrievalList::IdentityOf(const TStationSensorItem& e) {
  // the five fields joined with a byte that no name holds
  std::string id = e.DataFile;
  for (const std::string* part : {&e.FilePath, &e.StationID, &e.SensorName, &e.SensorLabel}) {
    id += '\x1f';
    id += *part;
  }
  return id;
}

bool TRetrievalList::Add(const TStationSensorItem& entry) {
  if (!identities_.insert(IdentityOf(entry)).second) return false;
  list_->addTopLevelItem(new TRowItem(entry));
  WriteRow(Count() - 1);
  return true;
}

void TRetrievalList::DeleteSelected() {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  for (QTreeWidgetItem* item : selected) {
    identities_.erase(IdentityOf(static_cast<TRowItem*>(item)->Entry()));
    delete item;
  }
}

void TRetrievalList::DeleteAll() {
  identities_.clear();
  list_->clear();
}

int TRetrievalList::Count() const { return list_->topLevelItemCount(); }

const TStationSensorItem& TRetrievalList::Entry(int row) const { return Row(list_, row)->Entry(); }
TStationSensorItem& TRetrievalList::Entry(int row) { return Row(list_, row)->Entry(); }

void TRetrievalList::SortByColumn(int column) {
  if (column < 0 || column >= list_->columnCount()) return;
  std::vector<QTreeWidgetItem*> rows;
  while (list_->topLevelItemCount() > 0) rows.push_back(list_->takeTopLevelItem(0));
  const bool descending = descending_[static_cast<std::size_t>(column)];
  auto compare = [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    int c;
    if (column == 3) {
      const double x = TextToReal(a->text(3).toStdString(), 0), y = TextToReal(b->text(3).toStdString(), 0);
      c = x < y ? -1 : (x > y ? 1 : 0);
    } else {
      c = QString::localeAwareCompare(a->text(column), b->text(column));
    }
    return descending ? c > 0 : c < 0;
  };
  std::stable_sort(rows.begin(), rows.end(), compare);
  for (QTreeWidgetItem* r : rows) list_->addTopLevelItem(r);
  descending_[static_cast<std::size_t>(column)] = !descending;
}

std::vector<std::string> TRetrievalList::Keys() const {
  std::vector<std::string> keys;
  for (int r = 0; r < Count(); ++r) {
    const TStationSensorItem& e = Entry(r);
    keys.push_back(e.StationID + "," + e.SensorName + "," + e.DataFile);
  }
  return keys;
}

void TRetrievalList::AddKeys(const std::vector<std::string>& keys, const TStationSensorCache& entries) {
  for (const std::string& key : keys) {
    const auto parts = SplitKey(key);
    if (const TStationSensorItem* e = FindEntry(entries, parts[0], parts[1], parts[2])) Add(*e);
  }
}

void TRetrievalList::Rebuild(const TStationSensorCache& entries) {
  std::vector<std::string> noted;
  for (int r = 0; r < Count(); ++r) noted.push_back(Entry(r).StationID + "," + Entry(r).SensorName);
  DeleteAll();
  for (const std::string& text : noted) {
    const auto parts = SplitKey(text);
    if (const TStationSensorItem* e = FindEntry(entries, parts[0], parts[1], parts[2])) Add(*e);
  }
}

}  // namespace kvq
