// Helpers of the main window tests: views that record what the window asks
// of them, and a scratch installation with the demo sources.
#pragma once

#include <QMenu>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/BaseQuillonForm.h"
#include "app/ViewRegistry.h"
#include "data/DataDef.h"
#include "foundation/SettingsFile.h"

namespace kvq::test {

// What a view saw of one request handed to Retrieve.
struct TSeenRequest {
  int Count = 0;
  int Items = 0;
  TimeTag Start = 0, End = 0;
  int SourceType = 0;
  bool PostProcessed = false;
  bool UseGMT = false;
  int TimeBoundary = 0;
  std::vector<std::string> Sensors;  // STATION.SENSOR per requested sensor, item after item
  int EntryCopies = 0;
};

// Every call the views receive, in order ("frmGraph Clear", "frmDBView
// Retrieve" ...), and the last request each view saw.
struct TViewLog {
  std::vector<std::string> Calls;
  std::map<std::string, TSeenRequest> Last;
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : Calls) n += c == call;
    return n;
  }
};

// A view that serves what the view table gives its slot and records calls.
class TRecordingView : public TBaseQuillonForm {
 public:
  TRecordingView(int slot, TQuillonServices* services, QWidget* page, TViewLog& log)
      : TBaseQuillonForm(services, QString::fromLatin1(kViewSlots[static_cast<std::size_t>(slot)].ComponentName),
                         page),
        slot_(slot),
        log_(log) {
    if (slot == 0 || slot == 3 || slot == 4) {
      menu_ = new QMenu(this);
      QMenu* sub = menu_->addMenu(slot == 0 ? QStringLiteral("&Chart") : QStringLiteral("&Parameters"));
      sub->addAction(QStringLiteral("Zoom &Out"))->setStatusTip(QStringLiteral("Zoom hint"));
      sub->addAction(QStringLiteral("&Edit Chart"));
    }
  }

  TSmallSet TabKinds() const override {
    static const TSmallSet kinds[] = {SetOf({1}), SetOf({2}), SetOf({2}), SetOf({3}), SetOf({4})};
    return kinds[slot_];
  }
  TSmallSet SourceTypes() const override {
    static const TSmallSet types[] = {SetOf({0, 1, 4, 5, 6}), SetOf({0, 4, 5, 6}), SetOf({1}), SetOf({4, 5, 6}),
                                      SetOf({4, 5, 6})};
    return types[slot_];
  }
  TSmallSet Ops() const override {
    static const TSmallSet ops[] = {SetOf({0, 1, 2}), SetOf({1, 2}), SetOf({1}), SetOf({2}), SetOf({2})};
    return ops[slot_];
  }
  void Clear() override { Log("Clear"); }
  void Retrieve(const TDataFileStationSensor& r) override {
    Log("Retrieve");
    TSeenRequest& seen = log_.Last[Name()];
    seen = {};
    seen.Count = r.Count;
    seen.Items = r.ItemCount();
    seen.Start = r.Start;
    seen.End = r.End;
    seen.SourceType = r.SourceType;
    seen.PostProcessed = r.PostProcessed;
    seen.UseGMT = r.UseGMT;
    seen.TimeBoundary = r.TimeBoundary;
    for (int i = 0; i < r.ItemCount(); ++i) {
      const TDataFileStationSensorItem* item = r.Items(i);
      for (std::size_t k = 0; k < item->Stations.size(); ++k)
        seen.Sensors.push_back(item->Stations[k] + "." + item->Sensors[k]);
      seen.EntryCopies += static_cast<int>(item->Entries.size());
    }
  }
  void Export() override { Log("Export"); }
  void Copy() override { Log("Copy"); }
  void Print() override { Log("Print"); }
  QMenu* ViewMenu() override { return menu_; }
  void ShowItem(const TStationSensorItem& entry) override { Log("ShowItem " + entry.StationID + "." + entry.SensorName); }
  void LoadSettings(const TSettingsFile& settings, const std::string& section) override {
    Log("LoadSettings " + section + "=" + settings.ReadString(section, "Marker", ""));
  }
  void SaveSettings(TSettingsFile& settings, const std::string& section) override {
    settings.WriteString(section, "Marker", Name());
  }

  std::string Name() const { return ComponentName().toStdString(); }

 private:
  void Log(const std::string& call) { log_.Calls.push_back(Name() + " " + call); }
  int slot_;
  TViewLog& log_;
  QMenu* menu_ = nullptr;
};

// A view factory making recording views that write into `log`.
inline TViewFactory RecordingViews(TViewLog& log) {
  return [&log](int slot, TQuillonServices* services, QWidget* page) -> TBaseQuillonForm* {
    return new TRecordingView(slot, services, page, log);
  };
}

}  // namespace kvq::test
