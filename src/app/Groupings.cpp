#include "app/Groupings.h"

namespace kvq {

namespace {

using K = TNodeKind;

}  // namespace

std::vector<TGrouping> GroupingsFor(int sourceType, bool postProcessed) {
  switch (sourceType) {
    case 1:
      return {{"View By Data Files", 0, {K::DataFile, K::Station, K::Sensor}},
              {"View By Stations", 1, {K::Station, K::Sensor, K::DataFile}},
              {"View By Sensors", 2, {K::Sensor, K::Station, K::DataFile}}};
    case 2:
    case 3:
      return {{"View By Stations", -1, {K::Station, K::None, K::None}},
              {"View By Sensors", -1, {K::Sensor, K::None, K::None}}};
    case 4:
    case 5:
    case 6:
      if (postProcessed)
        return {{"View By Stations", 20, {K::Station, K::Sensor, K::SensorLabel}},
                {"View By Sensors", 21, {K::Sensor, K::Station, K::SensorLabel}},
                {"View By SensorLabels", 22, {K::SensorLabel, K::Station, K::Sensor}}};
      return {{"View By Stations", 3, {K::Station, K::Sensor, K::None}},
              {"View By Sensors", 4, {K::Sensor, K::Station, K::None}},
              {"View By Basin", 5, {K::Basin, K::Station, K::Sensor}},
              {"View By Agency", 6, {K::Agency, K::Station, K::Sensor}},
              {"View By District", 7, {K::District, K::Station, K::Sensor}},
              {"View By City", 8, {K::City, K::Station, K::Sensor}},
              {"View By County", 9, {K::County, K::Station, K::Sensor}},
              {"View By State/Province", 10, {K::State, K::Station, K::Sensor}},
              {"View By Country", 11, {K::Country, K::Station, K::Sensor}},
              {"View By Primary Channel", 12, {K::PrimaryChannel, K::Station, K::Sensor}},
              {"View By Random Channel", 13, {K::RandomChannel, K::Station, K::Sensor}}};
    default:
      return {};
  }
}

std::string FieldText(const TStationSensorItem& e, TNodeKind field) {
  switch (field) {
    case K::DataFile: return e.DataFile;
    case K::Station: return e.StationID;
    case K::Sensor: return e.SensorName;
    case K::SensorLabel: return e.SensorLabel;
    case K::Basin: return e.Basin;
    case K::Agency: return e.Agency;
    case K::District: return e.District;
    case K::City: return e.City;
    case K::County: return e.County;
    case K::State: return e.State;
    case K::Country: return e.Country;
    case K::PrimaryChannel: return std::to_string(e.PrimaryChannel);
    case K::RandomChannel: return std::to_string(e.RandomChannel);
    default: return {};
  }
}

void ApplyGrouping(TStationSensorCache& entries, const TGrouping& grouping) {
  if (grouping.SortMode >= 0) entries.SortBy(grouping.SortMode);
  for (int i = 0; i < entries.Count(); ++i) {
    TStationSensorItem* e = entries.Items(i);
    for (int level = 0; level < 3; ++level) {
      const TNodeKind field = grouping.Levels[static_cast<std::size_t>(level)];
      e->TreeLevels[static_cast<std::size_t>(level)] = {FieldText(*e, field), field};
    }
  }
}

int SourceKind(int sourceType) {
  switch (sourceType) {
    case 1: return 1;
    case 2: return 3;
    case 3: return 5;
    case 4:
    case 5: return 2;
    case 6: return 9;
    default: return 0;
  }
}

}  // namespace kvq
