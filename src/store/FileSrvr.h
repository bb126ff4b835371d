// TFileServer keeps a set of data files open and serves the command client:
// reading one value, a range as records or text lines, listing, describing,
// creating, registering, splitting, re-basing and restructuring files, and
// inserting values.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Directive.h"
#include "store/Dayfile.h"
#include "store/GenServer.h"

namespace kvq {

// One index entry: a file (key = target = its path, File set) or a sensor
// (key = STATION.SENSOR, target = the path of its file, 1-based column).
struct TFileRec {
  std::string Key;
  std::string Target;
  std::uint16_t Column = 0;
  std::uint16_t Digits = 0;
  std::unique_ptr<TDataFile> File;  // file entries own their data file
};

class TFileServer : public TGenServer {
 public:
  explicit TFileServer(const TDataStoreGroupSetup& settings);
  ~TFileServer() override;

  // The file server's own settings block: data folder (DataFolder), file
  // list (FileList), data-store kind, archive age, store lists. It starts
  // empty; its owners fill it.
  TDataStoreGroupSetup& Settings() { return block_; }

  // ---- registration ----
  // Closes everything, then registers every file of the file list.
  bool OpenAll();
  // Opens the file and indexes it and its sensors. False when it cannot be
  // opened or its path is already indexed (the file object is then dropped).
  bool Register(std::unique_ptr<TDataFile> file);
  // Register, then adds the file's name to the file list.
  bool RegisterAndList(std::unique_ptr<TDataFile> file);
  // Removes the file and its sensors from the index and its name from the
  // file list; deletes the file from disk when `erase` is set.
  bool Unregister(TDataFile* file, bool erase);

  // The path of a name: the data folder in front of a name without "/", and
  // ".DAT" after a file name without ".".
  std::string PathOf(std::string_view name) const;
  // The registered file of a name or path, or null.
  TDataFile* FindFile(std::string_view name) const;
  // The file, 1-based column and digits of STATION.SENSOR; false when unknown.
  bool Lookup(std::string_view key, TDataFile*& file, int& column, int& digits) const;
  // Registered files in index order.
  std::vector<TDataFile*> Files() const;

  // ---- the operations of the command client ----
  bool IsOpen() override { return opened_; }
  bool Initialize(std::string_view programName, std::string& errorText) override;
  int AddFile(std::string_view name, std::string_view description, bool create) override;
  bool CloseAll() override;
  bool RemoveFile(std::string_view name, bool erase) override;
  bool IsKnown(std::string_view key) override;
  bool ReadPoint(std::string_view station, std::string_view sensor, std::string_view time,
                 std::string& value) override;
  bool StoreValue(std::string_view station, std::string_view sensor, std::string_view valueText,
                  std::string_view timeText, std::string_view dataKind) override;
  bool StoreQuality(std::string_view record) override;
  bool LogRtuQuality(std::string_view record) override;
  bool ListFiles(std::vector<std::string>& list) override;
  bool ListSensors(std::string_view file, std::vector<std::string>& list) override;
  bool ReadRange(std::string_view file, std::string_view request, TRangeRequest& req) override;
  bool InsertText(std::string_view file, std::string_view params, TRangeRequest& req) override;
  bool SplitFile(std::string_view file, std::string_view time) override;
  bool AdjustFile(std::string_view file, std::string_view time) override;
  std::string DescribeSensors(std::string_view file, std::vector<std::string>& list) override;
  bool DescribeFile(std::string_view file, bool createForm, std::string& text) override;
  bool ChangeFile(std::string_view file, std::string_view description) override;
  std::string FileOfSensor(std::string_view station, std::string_view sensor) override;
  bool StoreRealtime(std::string_view key, std::string_view valueText, std::string& messages) override;
  bool StoreTimetag(std::string_view station, std::string_view text, std::string& messages) override;
  bool StoreWildcard(std::string_view text, std::string_view label, std::string& messages) override;
  bool ArchiveAll(std::string& messages) override;

 private:
  bool ReadText(TDataFile& file, std::string_view request, TRangeRequest& req);
  bool InsertValueText(TDataFile& file, int column, TimeTag time, std::string_view key, std::string_view valueText,
                       std::string* messages);
  bool CopyData(TDataFile& from, TDataFile& to);
  bool WriteLog(TDayFile& name, std::FILE*& log, std::string_view line);
  TDataFile* Ensure(std::string_view name);

  TDataStoreGroupSetup block_;
  std::map<std::string, TFileRec, TextLess> index_;
  // The last name looked up by FindFile and its file: range reads name the
  // same file thousands of times in a row. Cleared whenever the index changes.
  mutable std::string lastName_;
  mutable std::string lastFolder_;
  mutable TDataFile* lastFile_ = nullptr;
  bool opened_ = false;
  TDayFile qualityName_;
  TDayFile rtuQualityName_;
  std::FILE* qualityLog_ = nullptr;
  std::FILE* rtuQualityLog_ = nullptr;
};

}  // namespace kvq
