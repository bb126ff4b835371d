// The keys of the main settings file and of sensor settings files: window
// bounds, options and panels ("Windows"), the retrieval list
// ("SelectedNode") and the time range and page ("SelectedNodeSettings").
#pragma once

#include <QRect>
#include <QString>

#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "foundation/TimeBase.h"

namespace kvq {

class TRetrievalList;
class TSettingsFile;
class TStationSensorCache;
class TTimeRange;

// What the "Windows" section keeps.
struct TWindowSettings {
  QRect Bounds;  // "Left", "Top", "Width", "Height"
  TAppOptions Options;
  bool TreeVisible = true;
  int TreeWidth = 166;
  bool FilterVisible = true;
  int FilterHeight = 81;
};

// Reads the "Windows" keys into `state`; a missing or unreadable key keeps
// the value `state` holds (the window's current one).
void ReadWindowSettings(const TSettingsFile& settings, TWindowSettings& state);
void WriteWindowSettings(TSettingsFile& settings, const TWindowSettings& state);

// The retrieval list, time range and active page as the files keep them.
struct TSelectionSettings {
  // StationID + "," + SensorName + "," + DataFile per row, in list order.
  std::vector<std::string> Keys;
  int FromType = 9;             // "Today"
  DateTimeValue FromValue = 0;  // used when FromType is 0
  int ToType = 16;              // "Now"
  DateTimeValue ToValue = 0;    // used when ToType is 0
  int StartTab = 0;             // page index: Graph 0, List 1, Station 2, Sensor 3
};

// Reads "SelectedNode" and "SelectedNodeSettings". Missing or unreadable
// values take the defaults: "Today" from today 00:00, "Now" to now, page 0.
TSelectionSettings ReadSelection(const TSettingsFile& settings);
// Erases "SelectedNode" and writes one key = 1 per row, then the time range
// (a value key only with item 0; otherwise the file keeps what it held).
// "StartTab" is written by WriteStartTab, after the views' own sections.
void WriteSelection(TSettingsFile& settings, const TSelectionSettings& selection);
void WriteStartTab(TSettingsFile& settings, int startTab);

// The rows and time range of the main window.
TSelectionSettings CaptureSelection(const TRetrievalList& list, const TTimeRange& range, int startTab);
// Adds the rows of the keys that match an entry (others are dropped) and
// sets the time range (the value is used only with item 0).
void RestoreSelection(const TSelectionSettings& selection, TRetrievalList& list, const TStationSensorCache& entries,
                      TTimeRange& range);

// A sensor settings file holds a "SelectedNode" section.
bool IsSensorSettingsFile(const TSettingsFile& settings);
// The first command-line argument names a sensor settings file: ".SFG", any case.
bool HasSensorSettingsExtension(const QString& path);
// The main window's caption after a sensor settings file was read or written.
QString SensorSettingsCaption(const QString& path);
// Makes room for a new sensor settings file at `path`: asks before replacing
// an existing file and deletes it. False (nothing to write) when the user
// says no or the file cannot be deleted (after Error 1407).
bool ClearSensorSettingsPath(const QString& path);

}  // namespace kvq
