// Loading the entries of the open data source and building the station tree
// from them: the work behind the main window's RebuildTree.
#pragma once

#include <string>

namespace kvq {

class TDataSourceInfo;
class TEntryTreeModel;
class TFileServer;
class TStationSensorCache;
struct TGrouping;

// Hands alias, user and password of `source` to the program's database
// connection and connects; true when connected (a failure has shown its
// message).
bool ConnectDataSource(const TDataSourceInfo& source);

// Rebuilds `entries` and `model` for `source`: the source's data-store kind
// goes into the server's settings; a data-file folder or the database is
// loaded again (entries and tree emptied first), sorted and filed under the
// levels of `grouping` (null: no grouping chosen, nothing is loaded).
// ASCII log and Excel sources load nothing and keep the tree as it is. A
// failing sensor-data statement shows the database's message; the tree then
// shows what was read. `filterText` joins the database statement with
// " AND " when not blank. The model refers to `entries`. A data-file folder
// that does not exist raises std::runtime_error (entries and tree empty).
void RebuildStationTree(const TDataSourceInfo& source, const TGrouping* grouping, bool showDisabled,
                        const std::string& filterText, TFileServer& server, TStationSensorCache& entries,
                        TEntryTreeModel& model);

}  // namespace kvq
