// Loading the station/sensor entries of an open source: from the data files
// of a folder through the file server, or from the station database.
#pragma once

#include <string>

#include "data/DataDef.h"

namespace kvq {

class TFileServer;

// Every "*.DAT" file directly in `folder` (file system order) opened through
// `server` on its own and asked for its sensors; one entry per sensor with
// the file's start and end times. Files the server cannot list add nothing.
void LoadFolderEntries(const std::string& folder, TFileServer& server, TStationSensorCache& entries);

// The tree statement: sensor data with or without the ENABLED conditions, or
// post-processed data.
std::string TreeStatement(bool postProcessed, bool showDisabled);

// Runs the tree statement (with " AND " + `filterText` appended when that is
// not blank) on the program's connection, which the caller has connected, and
// appends one entry per row. False with `error` set when running or reading
// fails; the entries read so far stay.
bool LoadDatabaseEntries(bool postProcessed, bool showDisabled, const std::string& filterText,
                         TStationSensorCache& entries, std::string* error);

}  // namespace kvq
