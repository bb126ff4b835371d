#include "store/ReplyCache.h"

#include <algorithm>

#include "foundation/Directive.h"
#include "foundation/Messages.h"

namespace kvq {

namespace {

std::int64_t gRawBytes = 0;
int gRawItems = 0;

int Compare(std::string_view a, std::string_view b) {
  TextLess less;
  if (less(a, b)) return -1;
  if (less(b, a)) return 1;
  return 0;
}

}  // namespace

std::int64_t CachedRawBytes() { return gRawBytes; }
int CachedRawItems() { return gRawItems; }

TCacheItem::TCacheItem(std::string_view, std::string_view text) : Text(text) {}
TCacheItem::~TCacheItem() = default;

TRawCacheItem::TRawCacheItem(std::string_view key, std::string_view text) : TCacheItem(key, text) {
  if (IsNotAvailable(text)) return;  // a failed command counts for nothing
  Raw = true;
  if (key.size() >= 4 && SameText(key.substr(0, 4), "RAW,")) {
    std::string file;
    int pos = 5;
    ScanStrAt(key, pos, "%P%J", file, StartTime);
    FileName = file;
  }
  counted_ = static_cast<std::int64_t>(Text.size());
  gRawBytes += counted_;
  ++gRawItems;
}

TRawCacheItem::~TRawCacheItem() {
  if (!Raw) return;
  gRawBytes = std::max<std::int64_t>(0, gRawBytes - counted_);
  gRawItems = std::max(0, gRawItems - 1);
}

TCache::TCache() : random_(std::random_device{}()) {}
TCache::~TCache() { Clear(); }

int TCache::LowerBound(std::string_view key) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const auto& e, std::string_view k) { return Compare(e.first, k) < 0; });
  return static_cast<int>(it - entries_.begin());
}

bool TCache::Contains(std::string_view key) const {
  const int i = LowerBound(key);
  return i < Count() && Compare(Key(i), key) == 0;
}

std::string TCache::Lookup(std::string_view key) {
  MakeRoom();
  const int i = LowerBound(key);
  if (i < Count() && Compare(Key(i), key) == 0) return Item(i) ? Item(i)->Text : DefaultText;
  if (AddOnLookup) entries_.emplace(entries_.begin() + i, std::string(key), nullptr);
  return std::string(NotAvailable);
}

void TCache::Index(TCacheItem* item) {
  auto* raw = dynamic_cast<TRawCacheItem*>(item);
  if (raw && raw->Raw) raw_[raw->FileName].emplace(raw->StartTime, raw);
}

void TCache::Unindex(TCacheItem* item) {
  auto* raw = dynamic_cast<TRawCacheItem*>(item);
  if (!raw || !raw->Raw) return;
  auto file = raw_.find(raw->FileName);
  if (file == raw_.end()) return;
  auto [from, to] = file->second.equal_range(raw->StartTime);
  for (auto it = from; it != to; ++it)
    if (it->second == raw) {
      file->second.erase(it);
      break;
    }
  if (file->second.empty()) raw_.erase(file);
}

TRawCacheItem* TCache::FindRaw(std::string_view fileName, TimeTag earliest, TimeTag t,
                               const std::function<bool(TRawCacheItem&)>& visit) {
  auto file = raw_.find(fileName);
  if (file == raw_.end()) return nullptr;
  auto it = file->second.upper_bound(t);
  while (it != file->second.begin()) {
    --it;
    if (it->first < earliest) break;
    if (visit(*it->second)) return it->second;
  }
  return nullptr;
}

void TCache::Store(std::string_view key, std::string_view text) {
  MakeRoom();
  std::unique_ptr<TCacheItem> item;
  if (itemClass_ == TCacheItemClass::Raw)
    item = std::make_unique<TRawCacheItem>(key, text);
  else
    item = std::make_unique<TCacheItem>(key, text);
  const int i = LowerBound(key);
  if (i < Count() && Compare(Key(i), key) == 0) {
    Unindex(Item(i));
    Index(item.get());
    entries_[static_cast<std::size_t>(i)].second = std::move(item);
  } else if (AddOnStore) {
    Index(item.get());
    entries_.emplace(entries_.begin() + i, std::string(key), std::move(item));
  }
}

void TCache::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Unindex(Item(index));
  entries_.erase(entries_.begin() + index);
}

void TCache::Clear() {
  raw_.clear();
  while (!entries_.empty()) entries_.pop_back();
}

int TCache::RandomIndex() {
  std::uniform_int_distribution<int> pick(0, Count() - 1);
  return pick(random_);
}

void TCache::MakeRoom() {
  if (entries_.size() < EntryLimit) return;
  int misses = 0;
  while (!entries_.empty() && entries_.size() + 128 >= EntryLimit) {
    const int i = RandomIndex();
    TCacheItem* item = Item(i);
    if (!item || item->Evictable) {
      Delete(i);
      continue;
    }
    if (++misses < 20000) continue;
    misses = 0;
    const Choice c = AskAbortRetryIgnore("Memory Problem", "Application running out of database memory.");
    if (c == Choice::Ignore) return;
    if (c == Choice::Abort) RequestApplicationClose();
  }
}

}  // namespace kvq
