#include "app/MainSettings.h"

#include <QFile>
#include <QFileInfo>

#include "app/QtTime.h"
#include "app/RetrievalList.h"
#include "app/TimeRange.h"
#include "foundation/Directive.h"
#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"

namespace kvq {

namespace {

constexpr char kWindows[] = "Windows";
constexpr char kSelectedNode[] = "SelectedNode";
constexpr char kNodeSettings[] = "SelectedNodeSettings";

// ReadInteger answers its fallback for a missing or unreadable value.
int Int(const TSettingsFile& s, const char* key, int current) { return s.ReadInteger(kWindows, key, current); }
bool Bool(const TSettingsFile& s, const char* key, bool current) { return s.ReadBool(kWindows, key, current); }

DateTimeValue ReadDateTime(const TSettingsFile& s, const char* key, DateTimeValue fallback) {
  DateTimeValue value = fallback;
  if (!ParseLocaleDateTime(QString::fromStdString(s.ReadString(kNodeSettings, key, "")), value)) return fallback;
  return value;
}

int ReadItem(const TSettingsFile& s, const char* key, int fallback) {
  const int item = s.ReadInteger(kNodeSettings, key, fallback);
  return item >= 0 && item < static_cast<int>(TTimeRange::Items().size()) ? item : fallback;
}

}  // namespace

void ReadWindowSettings(const TSettingsFile& s, TWindowSettings& w) {
  w.Bounds = QRect(Int(s, "Left", w.Bounds.left()), Int(s, "Top", w.Bounds.top()), Int(s, "Width", w.Bounds.width()),
                   Int(s, "Height", w.Bounds.height()));
  TAppOptions& o = w.Options;
  o.UseGMTData = Bool(s, "UseGMTData", o.UseGMTData);
  o.SyncTabs = Bool(s, "SyncTabs", o.SyncTabs);
  o.ShowDisableSensors = Bool(s, "ShowDisableSensors", o.ShowDisableSensors);
  o.TimeBoundary = Int(s, "TimeBoundary", o.TimeBoundary);
  if (o.TimeBoundary < 0 || o.TimeBoundary > 2) o.TimeBoundary = 0;
  o.UseDefaultTimeFormat = Bool(s, "UseDefaultTimeFormat", o.UseDefaultTimeFormat);
  w.TreeVisible = Bool(s, "LeftTreeViewVisible", w.TreeVisible);
  w.TreeWidth = Int(s, "LeftTreeViewWidth", w.TreeWidth);
  w.FilterVisible = Bool(s, "LeftFilterPanelVisible", w.FilterVisible);
  w.FilterHeight = Int(s, "LeftFilterPanelHeight", w.FilterHeight);
}

void WriteWindowSettings(TSettingsFile& s, const TWindowSettings& w) {
  s.WriteInteger(kWindows, "Top", w.Bounds.top());
  s.WriteInteger(kWindows, "Left", w.Bounds.left());
  s.WriteInteger(kWindows, "Height", w.Bounds.height());
  s.WriteInteger(kWindows, "Width", w.Bounds.width());
  s.WriteBool(kWindows, "UseGMTData", w.Options.UseGMTData);
  s.WriteBool(kWindows, "SyncTabs", w.Options.SyncTabs);
  s.WriteBool(kWindows, "ShowDisableSensors", w.Options.ShowDisableSensors);
  s.WriteInteger(kWindows, "TimeBoundary", w.Options.TimeBoundary);
  s.WriteBool(kWindows, "UseDefaultTimeFormat", w.Options.UseDefaultTimeFormat);
  s.WriteBool(kWindows, "LeftTreeViewVisible", w.TreeVisible);
  s.WriteInteger(kWindows, "LeftTreeViewWidth", w.TreeWidth);
  s.WriteBool(kWindows, "LeftFilterPanelVisible", w.FilterVisible);
  s.WriteInteger(kWindows, "LeftFilterPanelHeight", w.FilterHeight);
}

TSelectionSettings ReadSelection(const TSettingsFile& s) {
  TSelectionSettings sel;
  sel.Keys = s.Keys(kSelectedNode);
  const DateTimeValue now = TimeTagToDateTime(NowTimeTag());
  sel.FromType = ReadItem(s, "FromTimeType", TTimeRange::kToday);
  sel.FromValue = ReadDateTime(s, "FromTimeValue", static_cast<double>(static_cast<long long>(now)));
  sel.ToType = ReadItem(s, "ToTimeType", TTimeRange::kNow);
  sel.ToValue = ReadDateTime(s, "ToTimeValue", now);
  sel.StartTab = s.ReadInteger(kNodeSettings, "StartTab", 0);
  return sel;
}

void WriteSelection(TSettingsFile& s, const TSelectionSettings& sel) {
  s.EraseSection(kSelectedNode);
  for (const std::string& key : sel.Keys) s.WriteInteger(kSelectedNode, key, 1);
  s.WriteInteger(kNodeSettings, "FromTimeType", sel.FromType);
  if (sel.FromType == 0) s.WriteString(kNodeSettings, "FromTimeValue", LocaleDateTimeText(sel.FromValue).toStdString());
  s.WriteInteger(kNodeSettings, "ToTimeType", sel.ToType);
  if (sel.ToType == 0) s.WriteString(kNodeSettings, "ToTimeValue", LocaleDateTimeText(sel.ToValue).toStdString());
}

void WriteStartTab(TSettingsFile& s, int startTab) { s.WriteInteger(kNodeSettings, "StartTab", startTab); }

TSelectionSettings CaptureSelection(const TRetrievalList& list, const TTimeRange& range, int startTab) {
  TSelectionSettings sel;
  sel.Keys = list.Keys();
  sel.FromType = range.Item(true);
  sel.FromValue = range.Value(true);
  sel.ToType = range.Item(false);
  sel.ToValue = range.Value(false);
  sel.StartTab = startTab;
  return sel;
}

void RestoreSelection(const TSelectionSettings& sel, TRetrievalList& list, const TStationSensorCache& entries,
                      TTimeRange& range) {
  list.AddKeys(sel.Keys, entries);
  range.SetItem(true, sel.FromType);
  if (sel.FromType == 0) range.SetValue(true, sel.FromValue);
  range.SetItem(false, sel.ToType);
  if (sel.ToType == 0) range.SetValue(false, sel.ToValue);
}

bool IsSensorSettingsFile(const TSettingsFile& settings) { return settings.SectionExists(kSelectedNode); }

bool HasSensorSettingsExtension(const QString& path) {
  return QFileInfo(path).suffix().compare(QStringLiteral("SFG"), Qt::CaseInsensitive) == 0;
}

QString SensorSettingsCaption(const QString& path) { return QStringLiteral("KV Quillon - ") + path; }

bool ClearSensorSettingsPath(const QString& path) {
  if (!QFileInfo::exists(path)) return true;
  if (!Ask(path.toStdString() + " exists.  Do you wish to overwrite file?")) return false;
  if (!QFile::remove(path)) {
    ShowWarning(FormatStr("Error 1407: Unable to delete \"%p\". Check file attributes.", path.toStdString()));
    return false;
  }
  return true;
}

}  // namespace kvq
