// The "View By" groupings of the station tree: for each kind of source the
// items of the grouping combo, the sort mode of the entry list and the three
// tree levels each item files an entry under.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/DataDef.h"

namespace kvq {

struct TGrouping {
  std::string Caption;                // "View By Stations" ...
  int SortMode = -1;                  // TStationSensorCache::SortBy mode; -1 none
  std::array<TNodeKind, 3> Levels{};  // the field of each tree level (None: no level)
};

// The grouping items of a source type (0..6) and data mode.
std::vector<TGrouping> GroupingsFor(int sourceType, bool postProcessed);

// The text of an entry's field: the texts as they are, channels in decimal.
std::string FieldText(const TStationSensorItem& entry, TNodeKind field);

// Sorts the entries for the grouping and sets every entry's tree levels.
void ApplyGrouping(TStationSensorCache& entries, const TGrouping& grouping);

// The data-store kind code of a source type written into the file server's
// settings when the tree is rebuilt: 1, 3, 5, 2, 2, 9 for types 1 to 6.
int SourceKind(int sourceType);

}  // namespace kvq
