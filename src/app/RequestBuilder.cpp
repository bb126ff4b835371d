#include "app/RequestBuilder.h"

#include "app/RetrievalList.h"
#include "store/Dayfile.h"

namespace kvq {

std::unique_ptr<TDataFileStationSensor> BuildDataFileRequest(const TRetrievalList& list, TimeTag start, TimeTag end,
                                                             bool listForm) {
  auto request = std::make_unique<TDataFileStationSensor>();
  for (int row = 0; row < list.Count(); ++row) {
    const TStationSensorItem& entry = list.Entry(row);
    TDataFileStationSensorItem* item = nullptr;
    for (int i = 0; i < request->ItemCount() && !item; ++i)
      if (request->Items(i)->DataFilePath == entry.FilePath) item = request->Items(i);
    if (!item) {
      item = request->AddItem(std::make_unique<TDataFileStationSensorItem>(entry.FilePath, entry.DataFile));
      // the file is opened once, so that a missing or broken file is reported now
      if (item->DataFile && item->DataFile->Open()) item->DataFile->Close();
    }
    item->Stations.push_back(entry.StationID);
    item->Sensors.push_back(entry.SensorName);
    if (listForm) {
      auto copy = std::make_unique<TStationSensorItem>();
      copy->Assign(entry);
      copy->LowLimit = 0.0;
      copy->HighLimit = 100.0;
      item->Entries.push_back(std::move(copy));
    }
  }
  if (!listForm) request->Count = list.Count();
  request->Start = start;
  request->End = end;
  request->SourceType = kSourceOmbrix2;
  return request;
}

std::unique_ptr<TDataFileStationSensor> BuildDatabaseRequest(const TRetrievalList& list, TimeTag start, TimeTag end,
                                                             const TDataSourceInfo& source,
                                                             const TRequestOptions& options) {
  auto request = std::make_unique<TDataFileStationSensor>();
  TDataFileStationSensorItem* item = request->AddItem(std::make_unique<TDataFileStationSensorItem>());
  item->DSN = source.DSN;
  item->User = source.User;
  item->Password = source.Password;
  for (int row = 0; row < list.Count(); ++row) {
    const TStationSensorItem& entry = list.Entry(row);
    item->Stations.push_back(entry.StationID);
    item->Sensors.push_back(entry.SensorName);
    item->Labels.push_back(entry.SensorLabel);
    auto copy = std::make_unique<TStationSensorItem>();
    copy->Assign(entry);
    item->Entries.push_back(std::move(copy));
    ++request->Count;
  }
  request->Start = start;
  request->End = end;
  request->SourceType = source.Type;
  request->PostProcessed = source.PostProcessed;
  request->UseGMT = options.UseGMTData;
  request->TimeBoundary = options.TimeBoundary;
  request->DefaultTimeFormat = options.UseDefaultTimeFormat;
  return request;
}

}  // namespace kvq
