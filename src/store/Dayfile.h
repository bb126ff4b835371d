// The Ombrix2 data file: a fixed set of sensors on a fixed time grid, one
// record of 4-byte floats per grid step, little-endian throughout.
//
//   0      180 bytes   header
//   180    50 x N      sensor table (station[32], sensor[16], digits u16)
//   180+50N  R x k     k records of R = 4 x N bytes
//
// The missing-value pattern 0xFFFFFFFF fills gaps; 0xFFFFFFF9 marks, in
// record buffers in memory only, a value not yet supplied.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Types.h"

namespace kvq {

inline constexpr std::uint32_t kMissingBits = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNotSuppliedBits = 0xFFFFFFF9u;
inline constexpr std::uint16_t kFormatId = 0x2001;
inline constexpr int kHeaderSize = 180;
inline constexpr int kSensorEntrySize = 50;
inline constexpr int kMaxSensors = 1024;
inline constexpr int kMaxRecordBytes = 4096;  // a raw block holds at most this many record bytes
inline constexpr int kStationNameMax = 31;
inline constexpr int kSensorNameMax = 15;
inline constexpr int kFileNameMax = 31;

// Number of data files open in this process.
int OpenDataFileCount();

// The time grid of a data file with `interval` seconds between records,
// shifted by `offset` from midnight: the grid value of the record that holds
// time tag t, and the time tag of the record with grid value g (the end of
// its interval when `endOfInterval`).
TimeTag GridValueOf(TimeTag t, std::int32_t interval, std::int64_t offset, bool endOfInterval);
TimeTag TimeTagOfGrid(TimeTag g, std::int32_t interval, std::int64_t offset, bool endOfInterval);

// One sensor of a data file: ‘STATION.SENSOR’, decimals, 1-based column.
struct TSensorRec {
  std::string FullName;
  std::uint16_t Digits = 0;
  std::uint16_t Column = 0;
};

// Sensors in table order.
class TSensorList {
 public:
  void Add(TSensorRec rec) { items_.push_back(std::move(rec)); }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TSensorRec& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }
  // The 1-based column of the first sensor named `name` (case-insensitive)
  // with its digits; 0 when there is none.
  int FindSensor(std::string_view name, std::uint16_t* digits = nullptr) const;

 private:
  std::vector<TSensorRec> items_;
};

// A record buffer: the unit of reading and writing. Values are kept as bit
// patterns so that the two markers survive unchanged.
struct TRecordBuffer {
  bool Dirty = false;     // has values to write
  bool Complete = false;  // values already merged with the file
  TimeTag Grid = 0;       // grid value of the record
  std::vector<std::uint32_t> Values;

  // A buffer of `count` values all "not yet supplied", not complete.
  static TRecordBuffer ForInsert(TimeTag grid, int count);
};

// Record buffers waiting to be written, sorted by grid value; owns them.
class TRecordList {
 public:
  TRecordBuffer& FindOrAdd(TimeTag grid, int count);
  bool Empty() const { return items_.empty(); }
  std::map<TimeTag, TRecordBuffer>& Items() { return items_; }
  void Clear() { items_.clear(); }

 private:
  std::map<TimeTag, TRecordBuffer> items_;
};

// One open or openable data file. Operations report failure by their result;
// the header, create and split failures also show their numbered message.
class TDataFile {
 public:
  // An object for the file at `path`, listed under `key` (the path without
  // ".DAT"); not opened yet.
  TDataFile(std::string path, std::string key);
  ~TDataFile();
  TDataFile(const TDataFile&) = delete;
  TDataFile& operator=(const TDataFile&) = delete;

  // Opens for reading and writing and reads the header and sensor table.
  // False, file closed, when the file cannot be opened or the header is
  // rejected ("Error 604: Unable to read header from file ...").
  bool Open();
  // Writes the pending records and closes. True when nothing failed.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Creates the file from a description line
  //   "NAME",start,offset,interval,end-of-interval,STATION.SENSOR,digits,...
  // and leaves it open. With `overwrite` false an existing file is not
  // touched and the call fails. "Error 102: Unable to create ..." on failure.
  bool CreateFile(std::string_view description, bool overwrite = true);
  // Closes if open and deletes the file.
  bool EraseFile();

  // Reads the record of buf.Grid into buf (see the merge rules in the .cpp).
  bool ReadRecord(TRecordBuffer& buf);
  // Writes a dirty buffer at its grid value, extending the file as needed.
  bool WriteRecord(TRecordBuffer& buf);
  // Writes every pending record in grid order; with `force` flushes to disk.
  bool FlushPending(bool force);

  // A raw reply for [from, to]: 4 bytes continuation tag (0 when complete),
  // then whole records, at most 4096 bytes of them. False when `from` lies
  // before the file start or past its last record.
  bool ReadRawBlock(TimeTag from, TimeTag to, std::string& output);
  // Writes "%E" values (at most 1024) as consecutive values from the record
  // of `time` on, in whole records, and flushes to disk.
  bool WriteRawBlock(TimeTag time, std::string_view text);

  // Inserts one value at the record of `time` without disturbing the other
  // sensors of that record. column is 1-based.
  bool InsertValue(int column, TimeTag time, std::uint32_t bits);
  // The value of `column` (1-based) in the record of grid value `grid`.
  bool ReadValue(int column, TimeTag grid, std::uint32_t& bits);

  // Reads `count` whole records from record index `first` on into `values`.
  bool ReadRecords(std::int64_t first, std::int64_t count, std::vector<std::uint32_t>& values);
  // Appends whole records (values.size() a multiple of SensorCount) at the end.
  bool AppendRecords(const std::vector<std::uint32_t>& values);

  // Moves the file start to the midnight at or before `time`: a later start
  // drops the records before it, an earlier one inserts empty records.
  bool MoveStart(TimeTag time);
  // Moves the records before the midnight at or before `time` into a file of
  // the same name with the extension ".OLD" (replacing an older one).
  bool SplitBefore(TimeTag time);

  // ---- the time grid ----
  // The grid value of the record that holds time tag t.
  TimeTag GridOf(TimeTag t) const;
  // The time tag of the record with grid value g.
  TimeTag TagOfGrid(TimeTag g) const;
  // Byte position of the record with grid value g (may be beyond the file).
  std::int64_t PositionOf(TimeTag g) const;

  const std::string& Path() const { return path_; }
  const std::string& Key() const { return key_; }
  const TSensorList& Sensors() const { return sensors_; }
  std::int64_t FileSize() const { return fileSize_; }
  TimeTag StartTime() const { return static_cast<TimeTag>(StartDay) * 86400; }
  TimeTag EndTime() const { return endTime_; }
  int RecordCount() const;

  // Header fields.
  std::string Name;
  std::uint16_t StartDay = 0;
  std::uint32_t TimeOffset = 0;
  std::int32_t Interval = 0;
  std::uint32_t DataOffset = 0;
  std::uint16_t RecordSize = 0;
  std::uint32_t BytesPerDay = 0;
  std::uint16_t SensorCount = 0;
  std::uint8_t EndOfInterval = 0;

 private:
  bool ReadHeader();
  bool ReadRecordMissing(TRecordBuffer& buf);
  bool WriteHeader();
  bool WriteSensorTable();
  void ComputeEnd();
  bool ReadAt(std::int64_t pos, void* data, std::size_t size);
  // Appends `size` bytes from `pos` to `out` (through the read-ahead).
  bool AppendAt(std::int64_t pos, std::size_t size, std::string& out);
  bool FillReadAhead(std::int64_t pos, std::size_t size);
  bool WriteAt(std::int64_t pos, const void* data, std::size_t size);
  bool AppendEmptyRecords(std::int64_t untilPosition);
  std::int64_t RecordPosition(TimeTag g);
  void ResetPositionCache() { lastGrid_ = 0, lastPos_ = 0; }
  // Builds a replacement of this file in `tmpPath` holding the records
  // [firstRecord, firstRecord + count) preceded by `emptyBefore` empty
  // records, with StartDay `startDay`; flushes it to disk.
  bool BuildCopy(const std::string& tmpPath, std::uint16_t startDay, std::int64_t emptyBefore,
                 std::int64_t firstRecord, std::int64_t count);
  bool ReplaceWith(const std::string& tmpPath);

  std::string path_;
  std::string key_;
  TSensorList sensors_;
  TRecordList pending_;
  int fd_ = -1;
  std::int64_t fileSize_ = 0;
  TimeTag endTime_ = 0;
  TimeTag lastGrid_ = 0;    // grid value of the last record read or written
  std::int64_t lastPos_ = 0;  // its position (0 when none)
  std::vector<std::uint32_t> scratch_;
  // Read-ahead: the file bytes [cachePos_, cachePos_ + cacheLen_), so that
  // range reads of consecutive records cost a copy, not a system call each.
  // Any write through this object drops it.
  std::vector<char> cache_;
  std::int64_t cachePos_ = -1;
  std::size_t cacheLen_ = 0;
};

// A file-name template with date placeholders "yyyy", "yy", "mm", "dd",
// "hh", "mi" and a multiple marker "#NN" after them.
class TDayFile {
 public:
  // The full name is folder + template + extension; the folder is put in
  // front only when the template has no "/", the extension added only when
  // the template's file name has none.
  TDayFile(std::string_view nameTemplate, std::string_view folder, std::string_view extension);

  // Fills the placeholders for `tag`. True when any placeholder value changed
  // since the previous call, that is, when a new file is due.
  bool NameFor(TimeTag tag);
  const std::string& Name() const { return name_; }
  // Seconds between names: m x 60 with "mi", m x 3600 with "hh", else m x 86400.
  int Period() const { return period_; }

 private:
  std::string name_;
  int multiple_ = 1;
  int period_ = 86400;
  // positions of the placeholders in name_ (npos when absent)
  std::size_t posYear4_, posYear2_, posMonth_, posDay_, posHour_, posMinute_;
  bool named_ = false;
  TimeTag lastTag_ = 0;
  std::string lastDigits_;
};

}  // namespace kvq
