#include "data/DataDef.h"

#include <algorithm>
#include <string_view>

#include "store/Dayfile.h"

namespace kvq {

namespace {

// Three-way comparison ignoring the case of ASCII letters, byte by byte.
int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 'a' + 'A');
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int CompareInt(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

// A store data file object for the path, not opened; listed under the path
// without its ".DAT" extension, as the file server lists it.
std::unique_ptr<TDataFile> MakeStoreDataFile(const std::string& path) {
  const bool dat = path.size() >= 4 && CompareText(std::string_view(path).substr(path.size() - 4), ".DAT") == 0;
  return std::make_unique<TDataFile>(path, dat ? path.substr(0, path.size() - 4) : path);
}

}  // namespace

// ---- TStationSensorItem ------------------------------------------------------

void TStationSensorItem::Assign(const TStationSensorItem& other) {
  DataFile = other.DataFile;
  FilePath = other.FilePath;
  StationID = other.StationID;
  SensorName = other.SensorName;
  SensorLabel = other.SensorLabel;
  LastUpdate = other.LastUpdate;
  StartTime = other.StartTime;
  EndTime = other.EndTime;
  UserValue1 = other.UserValue1;
  LowLimit = other.LowLimit;
  HighLimit = other.HighLimit;
  UserValue2 = other.UserValue2;
  RightDigit = other.RightDigit;
  Offset = other.Offset;
  Interval = other.Interval;
}

bool TStationSensorItem::SameEntry(const TStationSensorItem& other) const {
  return DataFile == other.DataFile && FilePath == other.FilePath && StationID == other.StationID &&
         SensorName == other.SensorName && SensorLabel == other.SensorLabel;
}

// ---- sorting -----------------------------------------------------------------

int CompareStationSensorItems(const TStationSensorItem& a, const TStationSensorItem& b, int mode) {
  int r = 0;
  // Station then sensor: the tie-break of most modes.
  auto stationSensor = [&] {
    int c = CompareText(a.StationID, b.StationID);
    return c != 0 ? c : CompareText(a.SensorName, b.SensorName);
  };
  switch (mode) {
    case 0:
      r = CompareText(a.DataFile, b.DataFile);
      return r != 0 ? r : stationSensor();
    case 1:
      r = stationSensor();
      return r != 0 ? r : CompareText(a.DataFile, b.DataFile);
    case 2:
      r = CompareText(a.SensorName, b.SensorName);
      if (r == 0) r = CompareText(a.StationID, b.StationID);
      return r != 0 ? r : CompareText(a.DataFile, b.DataFile);
    case 3:
      return stationSensor();
    case 4:
      r = CompareText(a.SensorName, b.SensorName);
      return r != 0 ? r : CompareText(a.StationID, b.StationID);
    case 5: r = CompareText(a.Basin, b.Basin); break;
    case 6: r = CompareText(a.Agency, b.Agency); break;
    case 7: r = CompareText(a.District, b.District); break;
    case 8: r = CompareText(a.City, b.City); break;
    case 9: r = CompareText(a.County, b.County); break;
    case 10: r = CompareText(a.State, b.State); break;
    case 11: r = CompareText(a.Country, b.Country); break;
    case 12: r = CompareInt(a.PrimaryChannel, b.PrimaryChannel); break;
    case 13: r = CompareInt(a.RandomChannel, b.RandomChannel); break;
    case 20:
      r = stationSensor();
      return r != 0 ? r : CompareText(a.SensorLabel, b.SensorLabel);
    case 21:
      r = CompareText(a.SensorName, b.SensorName);
      if (r == 0) r = CompareText(a.StationID, b.StationID);
      return r != 0 ? r : CompareText(a.SensorLabel, b.SensorLabel);
    case 22:
      r = CompareText(a.SensorLabel, b.SensorLabel);
      return r != 0 ? r : stationSensor();
    default:
      return 0;
  }
  // Modes 5 to 13: the attribute, then station and sensor.
  return r != 0 ? r : stationSensor();
}

// ---- TStationSensorCache -----------------------------------------------------

TStationSensorCache::~TStationSensorCache() { Clear(); }

TStationSensorItem* TStationSensorCache::Add(std::unique_ptr<TStationSensorItem> entry) {
  items_.push_back(std::move(entry));
  return items_.back().get();
}

void TStationSensorCache::SortBy(int mode) {
  std::sort(items_.begin(), items_.end(),
            [mode](const std::unique_ptr<TStationSensorItem>& a, const std::unique_ptr<TStationSensorItem>& b) {
              return CompareStationSensorItems(*a, *b, mode) < 0;
            });
}

void TStationSensorCache::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TStationSensorCache::Clear() {
  while (!items_.empty()) items_.pop_back();
}

// ---- retrieval request -------------------------------------------------------

TDataFileStationSensorItem::TDataFileStationSensorItem(const std::string& dataFilePath,
                                                       const std::string& dataFileName)
    : DataFilePath(dataFilePath), DataFileName(dataFileName) {
  if (!dataFilePath.empty()) DataFile = MakeStoreDataFile(dataFilePath);
}

TDataFileStationSensorItem::~TDataFileStationSensorItem() = default;

TDataFileStationSensor::~TDataFileStationSensor() { Clear(); }

TDataFileStationSensorItem* TDataFileStationSensor::AddItem(std::unique_ptr<TDataFileStationSensorItem> item) {
  items_.push_back(std::move(item));
  return items_.back().get();
}

void TDataFileStationSensor::DeleteItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  items_.erase(items_.begin() + index);
}

void TDataFileStationSensor::Clear() {
  while (!items_.empty()) items_.pop_back();
}

}  // namespace kvq
