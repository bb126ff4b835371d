// Retrieval requests built from the retrieval list and the time range.
#pragma once

#include <memory>

#include "data/DataDef.h"
#include "data/DataSource.h"

namespace kvq {

class TRetrievalList;

// The options a database request carries.
struct TRequestOptions {
  bool UseGMTData = false;
  int TimeBoundary = 0;
  bool UseDefaultTimeFormat = false;
};

// A data-file request: one item per data file in first-seen order (each with
// a data file object, opened and closed once), the rows' stations and
// sensors. The graph form counts the rows; the list form carries a copy of
// every row's entry with limits 0.0 and 100.0 and a count of 0.
std::unique_ptr<TDataFileStationSensor> BuildDataFileRequest(const TRetrievalList& list, TimeTag start, TimeTag end,
                                                             bool listForm);

// A database request: one item with the source's DSN, user and password, the
// rows' stations, sensors, labels and entry copies, counted; the data mode and
// the options.
std::unique_ptr<TDataFileStationSensor> BuildDatabaseRequest(const TRetrievalList& list, TimeTag start, TimeTag end,
                                                             const TDataSourceInfo& source,
                                                             const TRequestOptions& options);

}  // namespace kvq
