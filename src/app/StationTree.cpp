#include "app/StationTree.h"

#include <filesystem>
#include <stdexcept>

#include "app/EntryLoader.h"
#include "app/EntryTreeModel.h"
#include "app/Groupings.h"
#include "data/DBConnect.h"
#include "data/DataSource.h"
#include "foundation/Messages.h"
#include "store/FileSrvr.h"

namespace kvq {

bool ConnectDataSource(const TDataSourceInfo& source) {
  TDBConnection& db = DBConnection();
  db.Alias = source.DSN;
  db.UserName = source.User;
  db.Password = source.Password;
  return db.Connect();
}

void RebuildStationTree(const TDataSourceInfo& source, const TGrouping* grouping, bool showDisabled,
                        const std::string& filterText, TFileServer& server, TStationSensorCache& entries,
                        TEntryTreeModel& model) {
  server.Settings().DataStoreKind = static_cast<std::uint8_t>(SourceKind(source.Type));
  const bool folder = source.Type == kSourceOmbrix2;
  const bool database = IsDatabaseSource(source.Type);
  if ((!folder && !database) || !grouping) return;
  // the nodes point into the entries: the tree goes first
  model.Clear();
  entries.Clear();
  if (folder) {
    // a folder that is gone (a network drive not mounted, a renamed folder)
    // says so rather than showing an empty tree without a word
    std::error_code ec;
    if (!std::filesystem::is_directory(source.Folder, ec))
      throw std::runtime_error("The data folder \"" + source.Folder + "\" cannot be found.");
    LoadFolderEntries(source.Folder, server, entries);
  } else {
    if (!ConnectDataSource(source)) return;
    std::string error;
    if (!LoadDatabaseEntries(source.PostProcessed, showDisabled, filterText, entries, &error) && !source.PostProcessed)
      ShowError(error);
  }
  ApplyGrouping(entries, *grouping);
  model.Build(entries);
}

}  // namespace kvq
