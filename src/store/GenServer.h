// TGenServer: the base of the family of data servers behind the command
// client. Every operation does nothing and reports success until a derived
// server (the file server) overrides it. Operations report through results
// and message texts, never by raising.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/GroupSetup.h"
#include "foundation/Messages.h"

namespace kvq {

// What the client lends a range read or a text insertion: the reply buffer
// with its limit, the request flags, and the text of values to insert.
struct TRangeRequest {
  std::string Reply;          // the bytes filled by the server
  std::size_t Limit = 65000;  // size of the lent buffer
  bool Raw = false;           // binary records
  bool Block = false;         // text lines without the time column
  bool Plus = false;          // first line holds the continuation time
  bool Minus = false;         // lines without any value are left out
  std::string ValueText;      // InsertText: the values
};

// Slot order of the virtual operations (for reference; C++ dispatch is by name):
//   0 IsOpen, 2 SetSwitchedOff, 3 construction, 5 Initialize, 6 StoreGate,
//   7 AddFile, 9 CloseAll, 10 RemoveFile, 11 IsKnown, 12 ReadPoint,
//   13 StoreValue, 15 StoreQuality, 16 LogRtuQuality, 22 ListFiles,
//   23 ListSensors, 24 ReadRange, 25 InsertText, 26 SplitFile, 27 AdjustFile,
//   28 DescribeSensors, 29 DescribeFile, 30 ChangeFile, 31 SensorDigits,
//   32 StationEnabled, 33 SensorEnabled, 34 FileOfSensor, 35 StoreRealtime,
//   36 StoreTimetag, 37 StoreWildcard, 38 ArchiveAll.
//   Slots 1, 4, 8, 14, 17-21 and 39-80 belong to other server kinds
//   (decoders, station links): OtherOperation, success and empty output.
class TGenServer {
 public:
  using MessageHandler = std::function<void(MessageKind, const std::string&)>;

  explicit TGenServer(const TDataStoreGroupSetup& settings);
  virtual ~TGenServer();
  TGenServer(const TGenServer&) = delete;
  TGenServer& operator=(const TGenServer&) = delete;

  virtual bool IsOpen() { return true; }
  virtual void SetSwitchedOff(bool flag) { switchedOff_ = flag; }
  // Prepares the server; `errorText` receives the failure text.
  virtual bool Initialize(std::string_view programName, std::string& errorText);
  // Whether a value of `dataKind` for station.sensor is stored; may move
  // `timeText` onto the sensor's rounding interval.
  virtual bool StoreGate(std::string_view dataKind, std::string_view station, std::string& timeText,
                         std::string_view sensor);
  // 1 added, 2 failed, 3 already registered.
  virtual int AddFile(std::string_view name, std::string_view description, bool create);
  virtual bool CloseAll() { return true; }
  virtual bool RemoveFile(std::string_view name, bool erase);
  virtual bool IsKnown(std::string_view key);
  virtual bool ReadPoint(std::string_view station, std::string_view sensor, std::string_view time,
                         std::string& value);
  virtual bool StoreValue(std::string_view station, std::string_view sensor, std::string_view valueText,
                          std::string_view timeText, std::string_view dataKind);
  virtual bool StoreQuality(std::string_view record);
  virtual bool LogRtuQuality(std::string_view record);
  virtual bool ListFiles(std::vector<std::string>& list);
  virtual bool ListSensors(std::string_view file, std::vector<std::string>& list);
  virtual bool ReadRange(std::string_view file, std::string_view request, TRangeRequest& req);
  virtual bool InsertText(std::string_view file, std::string_view params, TRangeRequest& req);
  virtual bool SplitFile(std::string_view file, std::string_view time);
  virtual bool AdjustFile(std::string_view file, std::string_view time);
  // The "%P%W" description of the file's sensors; `list` gets one entry each.
  virtual std::string DescribeSensors(std::string_view file, std::vector<std::string>& list);
  virtual bool DescribeFile(std::string_view file, bool createForm, std::string& text);
  virtual bool ChangeFile(std::string_view file, std::string_view description);
  virtual int SensorDigits(std::string_view station, std::string_view sensor);
  virtual bool StationEnabled(std::string_view station);
  virtual bool SensorEnabled(std::string_view station, std::string_view sensor);
  virtual std::string FileOfSensor(std::string_view station, std::string_view sensor);
  virtual bool StoreRealtime(std::string_view key, std::string_view valueText, std::string& messages);
  virtual bool StoreTimetag(std::string_view station, std::string_view text, std::string& messages);
  virtual bool StoreWildcard(std::string_view text, std::string_view label, std::string& messages);
  virtual bool ArchiveAll(std::string& messages);
  // Operations of other server kinds: success, empty output.
  virtual bool OtherOperation(int slot, std::string_view input, std::string& output);

  bool SwitchedOff() const { return switchedOff_; }
  const TDataStoreGroupSetup& GroupSettings() const { return groupSettings_; }

  // Comma lists of STATION.SENSOR names, or "*" for all, whose realtime and
  // timetag data are stored.
  std::string RealtimeStoreList;
  std::string TimetagStoreList;

  // Receives the operation messages ("Reading - ...", "Error 606: ...").
  // Without a handler they are dropped, as the client does not show them.
  void SetMessageHandler(MessageHandler handler) { handler_ = std::move(handler); }
  bool Reporting() const { return static_cast<bool>(handler_); }

 protected:
  void Report(MessageKind kind, const std::string& text) const;

 private:
  bool switchedOff_ = false;
  TDataStoreGroupSetup groupSettings_;
  MessageHandler handler_;
};

}  // namespace kvq
