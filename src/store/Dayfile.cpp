#include "store/Dayfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "foundation/Directive.h"
#include "foundation/Messages.h"
#include "foundation/TimeBase.h"

namespace kvq {

// Records are read and written as host words; the file format is little-endian.
static_assert(std::endian::native == std::endian::little, "the data file store needs a little-endian host");

namespace {

std::atomic<int> gOpenFiles{0};

constexpr std::size_t kCopyChunk = 16384;

std::uint16_t GetU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void PutU16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void PutU32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A zero-terminated name of a fixed field, cut to `max` characters.
std::string GetName(const unsigned char* p, std::size_t field, std::size_t max) {
  std::size_t n = 0;
  while (n < field && n < max && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}
void PutName(unsigned char* p, std::size_t field, std::string_view s) {
  std::memset(p, 0, field);
  std::memcpy(p, s.data(), std::min(s.size(), field - 1));
}

std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
  const std::int64_t m = a % b;
  return m < 0 ? m + b : m;
}

TimeTag ClampTag(std::int64_t v) {
  return static_cast<TimeTag>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The path with its file name's extension replaced by `ext` (".OLD").
std::string WithExtension(const std::string& path, std::string_view ext) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  std::string base = (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ? path.substr(0, dot) : path;
  return base + std::string(ext);
}

bool WriteAll(int fd, std::int64_t pos, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, p, size, pos);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    pos += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::int64_t pos, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::pread(fd, p, size, pos);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    p += n;
    pos += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

const std::vector<unsigned char>& EmptyChunk() {
  static const std::vector<unsigned char> chunk(65536, 0xFF);
  return chunk;
}

void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

int OpenDataFileCount() { return gOpenFiles.load(); }

int TSensorList::FindSensor(std::string_view name, std::uint16_t* digits) const {
  for (const auto& s : items_)
    if (SameText(s.FullName, name)) {
      if (digits) *digits = s.Digits;
      return s.Column;
    }
  return 0;
}

TRecordBuffer TRecordBuffer::ForInsert(TimeTag grid, int count) {
  TRecordBuffer b;
  b.Grid = grid;
  b.Values.assign(static_cast<std::size_t>(count), kNotSuppliedBits);
  return b;
}

TRecordBuffer& TRecordList::FindOrAdd(TimeTag grid, int count) {
  auto it = items_.find(grid);
  if (it == items_.end()) it = items_.emplace(grid, TRecordBuffer::ForInsert(grid, count)).first;
  return it->second;
}

// ---- TDataFile ------------------------------------------------------------------

TDataFile::TDataFile(std::string path, std::string key) : path_(std::move(path)), key_(std::move(key)) {}

TDataFile::~TDataFile() { Close(); }

bool TDataFile::Open() {
  if (IsOpen()) return true;
  cachePos_ = -1;
  fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS)) fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0 || !ReadHeader()) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ShowError("Error 604: Unable to read header from file " + path_);
    return false;
  }
  ++gOpenFiles;
  return true;
}

bool TDataFile::ReadHeader() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return false;
  unsigned char h[kHeaderSize];
  if (st.st_size < kHeaderSize || !ReadAll(fd_, 0, h, sizeof h)) return false;
  if (GetU16(h + 2) != kFormatId) return false;
  Name = GetName(h + 4, 32, kFileNameMax);
  StartDay = GetU16(h + 36);
  TimeOffset = GetU32(h + 38);
  const std::uint32_t interval = GetU32(h + 42);
  DataOffset = GetU32(h + 46);
  RecordSize = GetU16(h + 50);
  BytesPerDay = GetU32(h + 52);
  SensorCount = GetU16(h + 56);
  EndOfInterval = h[58] ? 1 : 0;
  // A header that does not hold together is rejected before any arithmetic
  // depends on it: no interval, no sensors, too many sensors, sizes that
  // disagree, or a sensor table cut short.
  if (interval == 0 || interval > 0x7FFFFFFF || SensorCount == 0 || SensorCount > kMaxSensors) return false;
  if (TimeOffset > 0x7FFFFFFF) return false;
  // a start beyond the last day of the time base (2053-01-18) cannot be a time tag
  if (StartDay > 24855) return false;
  Interval = static_cast<std::int32_t>(interval);
  if (DataOffset != static_cast<std::uint32_t>(SensorCount) * kSensorEntrySize + kHeaderSize) return false;
  if (RecordSize != SensorCount * 4u) return false;
  if (static_cast<std::uint64_t>(BytesPerDay) != static_cast<std::uint64_t>(RecordSize) * (86400u / interval))
    return false;
  if (st.st_size < static_cast<off_t>(DataOffset)) return false;
  std::vector<unsigned char> table(static_cast<std::size_t>(SensorCount) * kSensorEntrySize);
  if (!ReadAll(fd_, kHeaderSize, table.data(), table.size())) return false;
  sensors_.Clear();
  for (int i = 0; i < SensorCount; ++i) {
    const unsigned char* e = table.data() + static_cast<std::size_t>(i) * kSensorEntrySize;
    TSensorRec rec;
    rec.FullName = GetName(e, 32, kStationNameMax) + "." + GetName(e + 32, 16, kSensorNameMax);
    rec.Digits = GetU16(e + 48);
    rec.Column = static_cast<std::uint16_t>(i + 1);
    sensors_.Add(std::move(rec));
  }
  // A record cut short at the end counts as not written; the next write over
  // it completes it.
  const std::int64_t records = (st.st_size - DataOffset) / RecordSize;
  fileSize_ = DataOffset + records * RecordSize;
  scratch_.assign(SensorCount, kMissingBits);
  ComputeEnd();
  ResetPositionCache();
  return true;
}

void TDataFile::ComputeEnd() {
  const std::int64_t records = RecordSize ? (fileSize_ - DataOffset) / RecordSize : 0;
  endTime_ = ClampTag(static_cast<std::int64_t>(StartTime()) + records * Interval);
}

int TDataFile::RecordCount() const {
  return RecordSize ? static_cast<int>((fileSize_ - DataOffset) / RecordSize) : 0;
}

bool TDataFile::Close() {
  cachePos_ = -1;
  if (!IsOpen()) return true;
  const bool ok = FlushPending(false);
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  --gOpenFiles;
  ResetPositionCache();
  return ok && closed;
}

bool TDataFile::WriteHeader() {
  unsigned char h[kHeaderSize] = {};
  PutU16(h + 0, 0x0101);
  PutU16(h + 2, kFormatId);
  PutName(h + 4, 32, Name);
  PutU16(h + 36, StartDay);
  PutU32(h + 38, TimeOffset);
  PutU32(h + 42, static_cast<std::uint32_t>(Interval));
  PutU32(h + 46, DataOffset);
  PutU16(h + 50, RecordSize);
  PutU32(h + 52, BytesPerDay);
  PutU16(h + 56, SensorCount);
  h[58] = EndOfInterval;
  if (!WriteAll(fd_, 0, h, sizeof h)) {
    ShowError("Error 605: Unable to write header for file " + path_);
    return false;
  }
  return true;
}

bool TDataFile::WriteSensorTable() {
  std::vector<unsigned char> table(static_cast<std::size_t>(SensorCount) * kSensorEntrySize, 0);
  for (int i = 0; i < sensors_.Count(); ++i) {
    const TSensorRec& s = sensors_[i];
    unsigned char* e = table.data() + static_cast<std::size_t>(i) * kSensorEntrySize;
    const std::size_t dot = s.FullName.find('.');
    PutName(e, 32, std::string_view(s.FullName).substr(0, dot));
    PutName(e + 32, 16, dot == std::string::npos ? std::string_view() : std::string_view(s.FullName).substr(dot + 1));
    PutU16(e + 48, s.Digits);
  }
  return WriteAll(fd_, kHeaderSize, table.data(), table.size());
}

bool TDataFile::CreateFile(std::string_view description, bool overwrite) {
  auto fail = [&] {
    ShowError("Error 102: Unable to create " + path_);
    return false;
  };
  if (IsOpen()) Close();
  std::string name;
  TimeTag start = 0, offset = 0, interval = 0;
  bool endOfInterval = false;
  int pos = 1;
  if (!ScanStrAt(description, pos, "\"%S\"%Q%T%T%B", name, start, offset, interval, endOfInterval)) return fail();
  if (name.size() > kFileNameMax || interval <= 0 || offset < 0 || start < 0) return fail();
  TSensorList sensors;
  while (pos <= static_cast<int>(description.size())) {
    std::string full;
    std::uint16_t digits = 0;
    const int before = pos;
    if (!ScanStrAt(description, pos, "%P%W", full, digits)) return fail();
    if (pos == before) break;
    const std::size_t dot = full.find('.');
    // A sensor is STATION.SENSOR; names longer than their fields are refused
    // rather than cut, so that two sensors can never end up with one name.
    if (dot == std::string::npos || dot == 0 || dot > kStationNameMax || full.size() - dot - 1 > kSensorNameMax)
      return fail();
    sensors.Add({full, digits, static_cast<std::uint16_t>(sensors.Count() + 1)});
  }
  if (sensors.Count() == 0 || sensors.Count() > kMaxSensors) return fail();

  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (overwrite ? O_TRUNC : O_EXCL);
  fd_ = ::open(path_.c_str(), flags, 0644);
  if (fd_ < 0) return fail();
  Name = name;
  StartDay = static_cast<std::uint16_t>(start / 86400);
  TimeOffset = static_cast<std::uint32_t>(offset);
  Interval = interval;
  EndOfInterval = endOfInterval ? 1 : 0;
  SensorCount = static_cast<std::uint16_t>(sensors.Count());
  DataOffset = static_cast<std::uint32_t>(SensorCount) * kSensorEntrySize + kHeaderSize;
  RecordSize = static_cast<std::uint16_t>(SensorCount * 4);
  BytesPerDay = RecordSize * static_cast<std::uint32_t>(86400 / interval);
  sensors_ = std::move(sensors);
  if (!WriteHeader() || !WriteSensorTable() || ::ftruncate(fd_, DataOffset) != 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
    return fail();
  }
  fileSize_ = DataOffset;
  scratch_.assign(SensorCount, kMissingBits);
  pending_.Clear();
  ComputeEnd();
  ResetPositionCache();
  ++gOpenFiles;
  return true;
}

bool TDataFile::EraseFile() {
  Close();
  return ::unlink(path_.c_str()) == 0;
}

TimeTag GridValueOf(TimeTag t, std::int32_t interval, std::int64_t offset, bool endOfInterval) {
  if (interval <= 0) return t;
  std::int64_t a = static_cast<std::int64_t>(t) - offset;
  if (endOfInterval) a += interval - 1;
  std::int64_t g = a - FloorMod(a, interval);
  if (endOfInterval) g -= interval;
  return ClampTag(g);
}

TimeTag TimeTagOfGrid(TimeTag g, std::int32_t interval, std::int64_t offset, bool endOfInterval) {
  return ClampTag(static_cast<std::int64_t>(g) + offset + (endOfInterval ? interval : 0));
}

TimeTag TDataFile::GridOf(TimeTag t) const { return GridValueOf(t, Interval, TimeOffset, EndOfInterval != 0); }

TimeTag TDataFile::TagOfGrid(TimeTag g) const { return TimeTagOfGrid(g, Interval, TimeOffset, EndOfInterval != 0); }

std::int64_t TDataFile::PositionOf(TimeTag g) const {
  const std::int64_t k = (static_cast<std::int64_t>(g) - StartTime()) / Interval;
  return DataOffset + k * RecordSize;
}

std::int64_t TDataFile::RecordPosition(TimeTag g) {
  if (lastPos_ != 0 && static_cast<std::int64_t>(g) == static_cast<std::int64_t>(lastGrid_) + Interval)
    return lastPos_ + RecordSize;
  return PositionOf(g);
}

namespace {
constexpr std::size_t kReadAhead = 131072;
}

bool TDataFile::FillReadAhead(std::int64_t pos, std::size_t size) {
  if (cachePos_ >= 0 && pos >= cachePos_ &&
      pos + static_cast<std::int64_t>(size) <= cachePos_ + static_cast<std::int64_t>(cacheLen_))
    return true;
  cache_.resize(kReadAhead);
  std::size_t got = 0;
  while (got < kReadAhead) {
    const ssize_t n = ::pread(fd_, cache_.data() + got, kReadAhead - got, pos + static_cast<std::int64_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  cachePos_ = pos;
  cacheLen_ = got;
  if (got >= size) return true;
  cachePos_ = -1;
  return false;
}

bool TDataFile::ReadAt(std::int64_t pos, void* data, std::size_t size) {
  if (size > kReadAhead / 2) return ReadAll(fd_, pos, data, size);
  if (!FillReadAhead(pos, size)) return false;
  std::memcpy(data, cache_.data() + (pos - cachePos_), size);
  return true;
}

bool TDataFile::AppendAt(std::int64_t pos, std::size_t size, std::string& out) {
  if (size > kReadAhead / 2) {
    const std::size_t at = out.size();
    out.resize(at + size);
    return ReadAll(fd_, pos, out.data() + at, size);
  }
  if (!FillReadAhead(pos, size)) return false;
  out.append(cache_.data() + (pos - cachePos_), size);
  return true;
}

bool TDataFile::WriteAt(std::int64_t pos, const void* data, std::size_t size) {
  cachePos_ = -1;
  return WriteAll(fd_, pos, data, size);
}

bool TDataFile::ReadRecord(TRecordBuffer& buf) {
  if (!IsOpen() && !Open()) return false;
  buf.Values.resize(SensorCount, kNotSuppliedBits);
  if (buf.Grid < StartTime()) return ReadRecordMissing(buf);
  const std::int64_t p = RecordPosition(buf.Grid);
  if (p + RecordSize > fileSize_) return ReadRecordMissing(buf);
  if (buf.Complete) {
    if (!ReadAt(p, buf.Values.data(), RecordSize)) return ResetPositionCache(), false;
    buf.Dirty = false;
  } else {
    if (!ReadAt(p, scratch_.data(), RecordSize)) return ResetPositionCache(), false;
    for (std::size_t i = 0; i < buf.Values.size(); ++i)
      if (buf.Values[i] == kNotSuppliedBits) buf.Values[i] = scratch_[i];
    buf.Complete = true;
  }
  lastGrid_ = buf.Grid;
  lastPos_ = p;
  return true;
}

bool TDataFile::ReadRecordMissing(TRecordBuffer& buf) {
  if (buf.Complete) {
    std::fill(buf.Values.begin(), buf.Values.end(), kMissingBits);
    buf.Dirty = false;
  } else {
    for (auto& v : buf.Values)
      if (v == kNotSuppliedBits) v = kMissingBits;
    buf.Complete = true;
  }
  return true;
}

bool TDataFile::AppendEmptyRecords(std::int64_t untilPosition) {
  const auto& chunk = EmptyChunk();
  while (fileSize_ < untilPosition) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(untilPosition - fileSize_, chunk.size()));
    if (!WriteAt(fileSize_, chunk.data(), n)) return false;
    fileSize_ += static_cast<std::int64_t>(n);
  }
  return true;
}

bool TDataFile::WriteRecord(TRecordBuffer& buf) {
  if (!IsOpen() && !Open()) return false;
  if (!buf.Dirty || buf.Grid < StartTime()) return false;
  buf.Values.resize(SensorCount, kNotSuppliedBits);
  const std::int64_t p = RecordPosition(buf.Grid);
  lastGrid_ = buf.Grid;
  lastPos_ = p;
  bool ok = true;
  if (p + RecordSize <= fileSize_) {
    if (!buf.Complete) {
      ok = ReadAt(p, scratch_.data(), RecordSize);
      for (std::size_t i = 0; ok && i < buf.Values.size(); ++i)
        if (buf.Values[i] == kNotSuppliedBits) buf.Values[i] = scratch_[i];
    }
    ok = ok && WriteAt(p, buf.Values.data(), RecordSize);
  } else {
    if (!buf.Complete)
      for (auto& v : buf.Values)
        if (v == kNotSuppliedBits) v = kMissingBits;
    ok = AppendEmptyRecords(p) && WriteAt(p, buf.Values.data(), RecordSize);
    if (ok) fileSize_ = p + RecordSize;
    ComputeEnd();
  }
  if (!ok) {
    ResetPositionCache();
    return false;
  }
  buf.Complete = true;
  buf.Dirty = false;
  return true;
}

bool TDataFile::FlushPending(bool force) {
  if (!IsOpen()) return pending_.Empty();
  bool ok = true;
  for (auto& [grid, buf] : pending_.Items()) {
    if (buf.Dirty) ok = WriteRecord(buf) && ok;
    ProcessPendingEvents();
  }
  pending_.Clear();
  if (force && ::fsync(fd_) != 0) ok = false;
  return ok;
}

bool TDataFile::InsertValue(int column, TimeTag time, std::uint32_t bits) {
  if (!IsOpen() && !Open()) return false;
  if (column < 1 || column > SensorCount) return false;
  TRecordBuffer buf = TRecordBuffer::ForInsert(GridOf(time), SensorCount);
  buf.Values[static_cast<std::size_t>(column - 1)] = bits;
  buf.Dirty = true;
  return WriteRecord(buf);
}

bool TDataFile::ReadValue(int column, TimeTag grid, std::uint32_t& bits) {
  if (!IsOpen() && !Open()) return false;
  if (column < 1 || column > SensorCount) return false;
  TRecordBuffer buf;
  buf.Grid = grid;
  buf.Complete = true;
  if (!ReadRecord(buf)) return false;
  bits = buf.Values[static_cast<std::size_t>(column - 1)];
  return true;
}

bool TDataFile::ReadRecords(std::int64_t first, std::int64_t count, std::vector<std::uint32_t>& values) {
  if (!IsOpen() && !Open()) return false;
  if (!pending_.Empty() && !FlushPending(false)) return false;
  values.resize(static_cast<std::size_t>(count) * SensorCount);
  const std::int64_t p = DataOffset + first * RecordSize;
  if (first < 0 || p + count * RecordSize > fileSize_) return false;
  return count == 0 || ReadAt(p, values.data(), values.size() * 4);
}

bool TDataFile::AppendRecords(const std::vector<std::uint32_t>& values) {
  if (!IsOpen() && !Open()) return false;
  if (values.size() % SensorCount != 0) return false;
  ResetPositionCache();
  if (!WriteAt(fileSize_, values.data(), values.size() * 4)) return false;
  fileSize_ += static_cast<std::int64_t>(values.size()) * 4;
  ComputeEnd();
  return true;
}

bool TDataFile::ReadRawBlock(TimeTag from, TimeTag to, std::string& output) {
  if (!IsOpen() && !Open()) return false;
  if (!pending_.Empty() && !FlushPending(false)) return false;
  ResetPositionCache();
  const TimeTag g = GridOf(from);
  if (g < StartTime()) return false;
  const std::int64_t p = PositionOf(g);
  if (p + RecordSize > fileSize_) return false;
  const std::int64_t wanted =
      std::max<std::int64_t>(0, (static_cast<std::int64_t>(GridOf(to)) + Interval - g) / Interval);
  const std::int64_t available = (fileSize_ - p) / RecordSize;
  const std::int64_t asked = std::min(wanted, available);
  const std::int64_t maxRecords = kMaxRecordBytes / RecordSize;
  std::int64_t n = asked;
  TimeTag continuation = 0;
  if (asked * RecordSize >= kMaxRecordBytes) {
    n = maxRecords;
    continuation = TagOfGrid(ClampTag(static_cast<std::int64_t>(g) + n * Interval));
  }
  const std::size_t bytes = static_cast<std::size_t>(n * RecordSize);
  unsigned char head[4];
  PutU32(head, static_cast<std::uint32_t>(continuation));
  output.assign(reinterpret_cast<const char*>(head), 4);
  return bytes == 0 || AppendAt(p, bytes, output);
}

bool TDataFile::WriteRawBlock(TimeTag time, std::string_view text) {
  if (!IsOpen() && !Open()) return false;
  if (!pending_.Empty() && !FlushPending(false)) return false;
  ResetPositionCache();
  const TimeTag g = GridOf(time);
  if (g < StartTime()) return false;
  std::vector<std::uint32_t> values;
  int pos = 1;
  const int len = static_cast<int>(text.size());
  while (pos <= len && values.size() < static_cast<std::size_t>(kMaxSensors)) {
    const char c = text[static_cast<std::size_t>(pos - 1)];
    if (c == '\r' || c == '\n' || c == '\0') {
      ++pos;  // values may run over several lines
      continue;
    }
    float f = 0;
    ScanStrAt(text, pos, "%E", f);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    values.push_back(bits);
  }
  if (values.empty()) return true;
  const std::size_t records = (values.size() + SensorCount - 1) / SensorCount;
  values.resize(records * SensorCount, kMissingBits);
  const std::int64_t p = PositionOf(g);
  if (!AppendEmptyRecords(p) || !WriteAt(p, values.data(), values.size() * 4)) return false;
  fileSize_ = std::max<std::int64_t>(fileSize_, p + static_cast<std::int64_t>(values.size()) * 4);
  ComputeEnd();
  return ::fsync(fd_) == 0;
}

bool TDataFile::BuildCopy(const std::string& tmpPath, std::uint16_t startDay, std::int64_t emptyBefore,
                          std::int64_t firstRecord, std::int64_t count) {
  struct stat st {};
  ::fstat(fd_, &st);
  const int out = ::open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
  if (out < 0) return false;
  bool ok = true;
  std::vector<unsigned char> buffer(std::max<std::size_t>(kCopyChunk, DataOffset));
  // header and sensor table, with the new start day
  ok = ReadAll(fd_, 0, buffer.data(), DataOffset);
  if (ok) {
    PutU16(buffer.data() + 36, startDay);
    ok = WriteAll(out, 0, buffer.data(), DataOffset);
  }
  std::int64_t outPos = DataOffset;
  const auto& empty = EmptyChunk();
  std::int64_t emptyBytes = emptyBefore * RecordSize;
  while (ok && emptyBytes > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(emptyBytes, empty.size()));
    ok = WriteAll(out, outPos, empty.data(), n);
    outPos += static_cast<std::int64_t>(n);
    emptyBytes -= static_cast<std::int64_t>(n);
  }
  std::int64_t inPos = DataOffset + firstRecord * RecordSize;
  std::int64_t left = count * RecordSize;
  while (ok && left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, buffer.size()));
    ok = ReadAll(fd_, inPos, buffer.data(), n) && WriteAll(out, outPos, buffer.data(), n);
    inPos += static_cast<std::int64_t>(n);
    outPos += static_cast<std::int64_t>(n);
    left -= static_cast<std::int64_t>(n);
  }
  ok = ok && ::fsync(out) == 0;
  ok = (::close(out) == 0) && ok;
  if (!ok) ::unlink(tmpPath.c_str());
  return ok;
}

bool TDataFile::ReplaceWith(const std::string& tmpPath) {
  Close();
  if (std::rename(tmpPath.c_str(), path_.c_str()) != 0) {
    ::unlink(tmpPath.c_str());
    Open();
    return false;
  }
  SyncFolderOf(path_);
  return Open();
}

bool TDataFile::MoveStart(TimeTag time) {
  if (!IsOpen() && !Open()) return false;
  if (time < 0) return false;
  const std::int64_t newStart = static_cast<std::int64_t>(time) - time % 86400;
  const std::uint16_t newDay = static_cast<std::uint16_t>(newStart / 86400);
  if (newDay == StartDay) return true;
  if (!FlushPending(false)) return false;
  ProcessPendingEvents();
  ResetPositionCache();
  const std::int64_t records = RecordCount();
  std::int64_t emptyBefore = 0, first = 0, count = records;
  if (newStart > StartTime()) {
    first = std::min<std::int64_t>((newStart - StartTime()) / Interval, records);
    count = records - first;
  } else {
    emptyBefore = (StartTime() - newStart) / Interval;
  }
  // The new file is built beside the old one and renamed over it, so that a
  // crash at any moment leaves either the old or the new file whole.
  const std::string tmp = path_ + ".tmp";
  if (!BuildCopy(tmp, newDay, emptyBefore, first, count)) return false;
  return ReplaceWith(tmp);
}

bool TDataFile::SplitBefore(TimeTag time) {
  if (!IsOpen() && !Open()) return false;
  if (time < 0) return false;
  const std::int64_t day = static_cast<std::int64_t>(time) - time % 86400;
  // Nothing to split off when the day is at or after the file end, or at or
  // before its start (an empty ".OLD" would replace an older archive).
  if (day >= EndTime() || day <= StartTime()) return true;
  if (!FlushPending(false)) return false;
  ProcessPendingEvents();
  ResetPositionCache();
  const std::int64_t before = (day - StartTime()) / Interval;
  const std::string oldPath = WithExtension(path_, ".OLD");
  const std::string tmp = oldPath + ".tmp";
  if (!BuildCopy(tmp, StartDay, 0, 0, before)) return false;
  if (std::rename(tmp.c_str(), oldPath.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  SyncFolderOf(oldPath);
  return MoveStart(static_cast<TimeTag>(day));
}

// ---- TDayFile -------------------------------------------------------------------

namespace {

std::size_t FindCi(const std::string& s, std::string_view what, std::size_t from) {
  if (what.size() > s.size()) return std::string::npos;
  for (std::size_t i = from; i + what.size() <= s.size(); ++i)
    if (SameText(std::string_view(s).substr(i, what.size()), what)) return i;
  return std::string::npos;
}

}  // namespace

TDayFile::TDayFile(std::string_view nameTemplate, std::string_view folder, std::string_view extension) {
  std::string tmpl(nameTemplate), dir(folder);
  std::replace(tmpl.begin(), tmpl.end(), '\\', '/');
  std::replace(dir.begin(), dir.end(), '\\', '/');
  if (tmpl.find('/') == std::string::npos && !dir.empty()) {
    if (dir.back() != '/') dir += '/';
    name_ = dir + tmpl;
  } else {
    name_ = tmpl;
  }
  std::size_t fileStart = name_.rfind('/');
  fileStart = fileStart == std::string::npos ? 0 : fileStart + 1;
  if (name_.find('.', fileStart) == std::string::npos && !extension.empty()) {
    if (extension.front() != '.') name_ += '.';
    name_ += extension;
  }
  // the multiple marker "#NN"
  for (std::size_t i = fileStart; i + 2 < name_.size(); ++i) {
    if (name_[i] == '#' && std::isdigit(static_cast<unsigned char>(name_[i + 1])) &&
        std::isdigit(static_cast<unsigned char>(name_[i + 2]))) {
      multiple_ = (name_[i + 1] - '0') * 10 + (name_[i + 2] - '0');
      if (multiple_ <= 0) multiple_ = 1;
      name_.erase(i, 3);
      break;
    }
  }
  posYear4_ = FindCi(name_, "yyyy", fileStart);
  posYear2_ = posYear4_ == std::string::npos ? FindCi(name_, "yy", fileStart) : std::string::npos;
  posMonth_ = FindCi(name_, "mm", fileStart);
  posDay_ = FindCi(name_, "dd", fileStart);
  posHour_ = FindCi(name_, "hh", fileStart);
  posMinute_ = FindCi(name_, "mi", fileStart);
  if (posMinute_ != std::string::npos)
    period_ = multiple_ * 60;
  else if (posHour_ != std::string::npos)
    period_ = multiple_ * 3600;
  else
    period_ = multiple_ * 86400;
}

bool TDayFile::NameFor(TimeTag tag) {
  if (named_ && tag == lastTag_) return false;
  lastTag_ = tag;
  DateTimeParts p = DecodeTimeTag(tag);
  int* finest = nullptr;
  if (posMinute_ != std::string::npos)
    finest = &p.minutes;
  else if (posHour_ != std::string::npos)
    finest = &p.hours;
  else if (posDay_ != std::string::npos)
    finest = &p.day;
  else if (posMonth_ != std::string::npos)
    finest = &p.month;
  else if (posYear4_ != std::string::npos || posYear2_ != std::string::npos)
    finest = &p.year;
  if (finest) *finest -= *finest % multiple_;
  const std::string digits = FormatStr("%04w%02w%02w%02w%02w", p.year, p.month, p.day, p.hours, p.minutes);
  auto put = [&](std::size_t pos, std::size_t from, std::size_t n) {
    if (pos != std::string::npos && digits.size() >= from + n) name_.replace(pos, n, digits, from, n);
  };
  put(posYear4_, 0, 4);
  put(posYear2_, 2, 2);
  put(posMonth_, 4, 2);
  put(posDay_, 6, 2);
  put(posHour_, 8, 2);
  put(posMinute_, 10, 2);
  std::string used;
  if (posYear4_ != std::string::npos || posYear2_ != std::string::npos) used += digits.substr(0, 4);
  if (posMonth_ != std::string::npos) used += digits.substr(4, 2);
  if (posDay_ != std::string::npos) used += digits.substr(6, 2);
  if (posHour_ != std::string::npos) used += digits.substr(8, 2);
  if (posMinute_ != std::string::npos) used += digits.substr(10, 2);
  const bool changed = !named_ || used != lastDigits_;
  named_ = true;
  lastDigits_ = used;
  return changed;
}

}  // namespace kvq
