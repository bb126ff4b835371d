// The reply cache: command texts mapped to their replies, kept by the command
// client while caching is on and searched by the data manager for raw
// replies that already cover a time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/Directive.h"
#include "foundation/Types.h"

namespace kvq {

// Total length of the raw replies held by raw cache items in this process,
// and how many such items live.
std::int64_t CachedRawBytes();
int CachedRawItems();

class TCacheItem {
 public:
  TCacheItem(std::string_view key, std::string_view text);
  virtual ~TCacheItem();
  TCacheItem(const TCacheItem&) = delete;
  TCacheItem& operator=(const TCacheItem&) = delete;

  std::string Text;       // the reply
  bool Evictable = true;  // room-making may delete it
};

// A cached reply of a "RAW,file,start,end" command.
class TRawCacheItem : public TCacheItem {
 public:
  TRawCacheItem(std::string_view key, std::string_view text);
  ~TRawCacheItem() override;

  bool Raw = false;         // holds records (false for a failed command's marker)
  std::string FileName;     // the file named by the command
  TimeTag StartTime = 0;    // scanned from the command
  TimeTag EndTime = 0;      // time of the last record, computed on first use
  bool EndKnown = false;

 private:
  std::int64_t counted_ = 0;
};

enum class TCacheItemClass { Plain, Raw };

// A sorted, case-insensitive list of command texts without duplicates, each
// with its reply item.
class TCache {
 public:
  TCache();
  ~TCache();
  TCache(const TCache&) = delete;
  TCache& operator=(const TCache&) = delete;

  // The class of the items made by Store.
  void SetItemClass(TCacheItemClass c) { itemClass_ = c; }
  TCacheItemClass ItemClass() const { return itemClass_; }

  // The reply text of `key`; the not-available marker when there is none.
  std::string Lookup(std::string_view key);
  // Puts a new item for (key, text), replacing an older one of the same key.
  void Store(std::string_view key, std::string_view text);
  bool Contains(std::string_view key) const;

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Key(int index) const { return entries_[static_cast<std::size_t>(index)].first; }
  TCacheItem* Item(int index) const { return entries_[static_cast<std::size_t>(index)].second.get(); }
  // Index of the first key not below `key` (Count() when none).
  int LowerBound(std::string_view key) const;
  void Delete(int index);
  void Clear();
  // A random index (for eviction); Count() must be above 0.
  int RandomIndex();

  // Calls `visit` for the raw items of `fileName` whose start time lies in
  // [earliest, t], latest start first, until it returns true; returns that
  // item or null. Lets the data manager find the reply that covers a time
  // without walking every key.
  TRawCacheItem* FindRaw(std::string_view fileName, TimeTag earliest, TimeTag t,
                         const std::function<bool(TRawCacheItem&)>& visit);

  std::size_t EntryLimit = 134217599;
  bool AddOnStore = true;
  bool AddOnLookup = false;
  std::string DefaultText;

 private:
  void MakeRoom();
  void Index(TCacheItem* item);
  void Unindex(TCacheItem* item);
  std::vector<std::pair<std::string, std::unique_ptr<TCacheItem>>> entries_;
  // raw items by file name and start time
  std::map<std::string, std::multimap<TimeTag, TRawCacheItem*>, TextLess> raw_;
  TCacheItemClass itemClass_ = TCacheItemClass::Plain;
  std::mt19937 random_;
};

}  // namespace kvq
