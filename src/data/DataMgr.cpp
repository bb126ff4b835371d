#include "data/DataMgr.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "data/DBConnect.h"
#include "data/SqlDateTime.h"
#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/Dayfile.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"
#include "store/ReplyCache.h"

namespace kvq {

namespace {

// A database raw reply holds at most this many values (65532 bytes).
constexpr std::size_t kMaxRawValues = 16383;

const char kPreloadQuery[] =
    "SELECT * FROM KV_DATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND (:STARTTIME <= "
    "TIME_TAG) AND (TIME_TAG <=:ENDTIME) ORDER BY TIME_TAG ";

TimeTag Clamp(std::int64_t v) { return static_cast<TimeTag>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

TimeTag TodayStart() {
  const TimeTag now = NowTimeTag();
  return now - now % 86400;
}

void PutTag(std::string& raw, TimeTag t) {
  char b[4];
  std::memcpy(b, &t, 4);
  raw.assign(b, 4);
}

TimeTag GetTag(const std::string& raw) {
  TimeTag t = 0;
  if (raw.size() >= 4) std::memcpy(&t, raw.data(), 4);
  return t;
}

// A value of a raw reply: missing for the marker and anything not a number.
bool ValueAt(const std::string& raw, std::size_t index, double& value) {
  std::uint32_t bits;
  std::memcpy(&bits, raw.data() + 4 + index * 4, 4);
  float f;
  std::memcpy(&f, &bits, 4);
  value = f;
  return bits != kMissingValueBits && !std::isnan(f);
}

// Runs the sensor statement for STATION.SENSOR `name` between two time tags.
bool RunSensorQuery(QSqlQuery& q, const std::string& name, TimeTag from, TimeTag to) {
  std::string station, sensorName;
  ScanStr(name, "%s.%s", station, sensorName);
  q.setForwardOnly(true);
  if (!q.prepare(QString::fromLatin1(kPreloadQuery))) return false;
  const QSqlDatabase db = DBConnection().Database();
  q.bindValue(QStringLiteral(":STATION_ID"), QString::fromStdString(station));
  q.bindValue(QStringLiteral(":SENSORNAME"), QString::fromStdString(sensorName));
  q.bindValue(QStringLiteral(":STARTTIME"), DateTimeParam(db, TimeTagToDateTime(from)));
  q.bindValue(QStringLiteral(":ENDTIME"), DateTimeParam(db, TimeTagToDateTime(to)));
  return q.exec();
}

}  // namespace

namespace datamgr {

TimeTag TDataFile::GridOf(TimeTag t) const { return GridValueOf(t, Interval, TimeOffset, EndOfInterval); }

TimeTag TDataFile::TagOfGrid(TimeTag g) const { return TimeTagOfGrid(g, Interval, TimeOffset, EndOfInterval); }

}  // namespace datamgr

TDataMgr::TDataMgr() : client_(std::make_unique<TGenClient>()) {}

TDataMgr::~TDataMgr() = default;

void TDataMgr::Reset() {
  files_.clear();
  requested_.clear();
  CacheByteLimit = 1000000;
  SourceType = 0;
}

void TDataMgr::AddDataFile(const std::string& name) {
  auto it = std::lower_bound(files_.begin(), files_.end(), name,
                             [](const auto& f, const std::string& n) { return TextLess()(f->Name, n); });
  if (it != files_.end() && SameText((*it)->Name, name)) return;
  auto file = std::make_unique<datamgr::TDataFile>();
  file->Name = name;
  files_.insert(it, std::move(file));
}

void TDataMgr::AddRequested(const std::string& name, TSensor* sensor) { requested_.push_back({name, sensor}); }

bool TDataMgr::OpenBinarySource(TFileServer& server, const std::string& programName) {
  if (SourceType != 0) return false;
  std::string list;
  for (const auto& f : files_) FormatAppend(list, "%P", f->Name);
  server.Settings().FileList = list;
  client_->PointAt(&server);
  std::string error;
  const bool opened = server.Initialize(programName, error);
  client_->SetCaching(true);
  for (auto& f : files_) {
    std::string reply;
    f->Sensors.clear();
    if (client_->Execute(FormatStr("INFO,%p", f->Name), reply, 0)) {
      std::string name;
      DayNumber startDay = 0;
      TimeTag end = 0, offset = 0, interval = 0;
      bool endOfInterval = false;
      ScanStr(reply, "%\",%D%J%T%T%B", name, startDay, end, offset, interval, endOfInterval);
      f->GroupName = name;
      f->StartDay = startDay;
      f->Interval = interval;
      f->TimeOffset = interval > 0 ? offset % interval : offset;
      f->EndOfInterval = endOfInterval;
      if (interval > 0 && interval < end) end -= interval;
      f->FirstTime = f->TagOfGrid(static_cast<TimeTag>(startDay) * 86400);
      f->EndTime = f->TagOfGrid(end);
    }
    if (client_->Execute(FormatStr("FORMAT,%p", f->Name), reply, 0)) {
      int pos = 1;
      while (pos <= static_cast<int>(reply.size())) {
        std::string name;
        std::uint16_t digits = 0;
        const int before = pos;
        ScanStrAt(reply, pos, "%P%W", name, digits);
        if (pos == before) break;
        auto sensor = std::make_unique<TSensor>();
        sensor->File = f.get();
        sensor->Column = static_cast<std::uint16_t>(f->Sensors.size());
        sensor->Digits = digits;
        sensor->Interval = f->Interval;
        sensor->Offset = f->TimeOffset;
        f->Sensors.emplace_back(std::move(name), std::move(sensor));
      }
    }
  }
  return opened;
}

void TDataMgr::PrepareRequest() {
  if (SourceType == 1) {
    std::int32_t smallest = 0, largest = 0;
    bool first = true;
    for (std::size_t i = 0; i < requested_.size(); ++i) {
      TSensor* s = requested_[i].Sensor;
      if (!s) continue;
      s->Selected = true;
      s->RequestIndex = static_cast<std::uint16_t>(i);
      smallest = first ? s->Interval : std::min(smallest, s->Interval);
      largest = first ? s->Interval : std::max(largest, s->Interval);
      first = false;
    }
    MinInterval = smallest > 0 ? smallest : 900;
    MaxInterval = largest > 0 ? std::max(largest, MinInterval) : std::max(900, MinInterval);
    RangeStart = TodayStart();
    RangeEnd = RangeStart + 86400;
    for (auto& r : requested_)
      if (r.Sensor) PreloadDbSensor(*r.Sensor, r.Name);
    return;
  }
  for (auto& f : files_)
    for (auto& [name, s] : f->Sensors) s->Selected = false;
  bool found = false;
  std::vector<const datamgr::TDataFile*> involved;
  for (std::size_t i = 0; i < requested_.size(); ++i) {
    requested_[i].Sensor = nullptr;
    for (auto& f : files_) {
      auto it = std::find_if(f->Sensors.begin(), f->Sensors.end(),
                             [&](const auto& e) { return SameText(e.first, requested_[i].Name); });
      if (it == f->Sensors.end()) continue;
      TSensor* s = it->second.get();
      s->Selected = true;
      s->RequestIndex = static_cast<std::uint16_t>(i);
      requested_[i].Sensor = s;
      if (std::find(involved.begin(), involved.end(), f.get()) == involved.end()) involved.push_back(f.get());
      found = true;
      break;
    }
  }
  if (!found) {
    RangeStart = TodayStart();
    RangeEnd = RangeStart + 86400;
    MinInterval = MaxInterval = 900;
    return;
  }
  RangeStart = involved.front()->FirstTime;
  RangeEnd = involved.front()->EndTime;
  MinInterval = MaxInterval = involved.front()->Interval;
  for (const auto* f : involved) {
    RangeStart = std::min(RangeStart, f->FirstTime);
    RangeEnd = std::max(RangeEnd, f->EndTime);
    MinInterval = std::min(MinInterval, f->Interval);
    MaxInterval = std::max(MaxInterval, f->Interval);
  }
}

TimeTag TDataMgr::NextBoundary(TimeTag t, std::int32_t interval, std::int32_t offset) {
  TimeTag result;
  if (interval == 0) {
    result = t - 1;
  } else {
    const std::int64_t k = (static_cast<std::int64_t>(t) - 1 + interval - offset) / interval;
    result = Clamp(offset + static_cast<std::int64_t>(interval) * k);
  }
  if (OnNextBoundary) OnNextBoundary(*this, t, interval, offset, result);
  return result;
}

TimeTag TDataMgr::PrevBoundary(TimeTag t, std::int32_t interval, std::int32_t offset) {
  TimeTag result;
  if (interval == 0) {
    result = t + 1;
  } else {
    const std::int64_t k = (static_cast<std::int64_t>(t) - offset) / interval;
    result = Clamp(offset + static_cast<std::int64_t>(interval) * k);
  }
  if (OnPrevBoundary) OnPrevBoundary(*this, t, interval, offset, result);
  return result;
}

bool TDataMgr::Report(TSensor& sensor, TimeTag time, double value, bool missing) {
  if (OnValue) OnValue(*this, sensor.RequestIndex, time, value, missing, stop_);
  sensor.Processed = true;
  return stop_;
}

void TDataMgr::Retrieve(TimeTag start, TimeTag end, bool intervalMode, std::int32_t offset, std::int32_t interval) {
  stop_ = false;
  for (auto& r : requested_)
    if (r.Sensor) r.Sensor->HasData = r.Sensor->Processed = false;
  if (SourceType == 0) {
    for (auto& f : files_) {
      const bool wanted =
          std::any_of(f->Sensors.begin(), f->Sensors.end(), [](const auto& e) { return e.second->Selected; });
      if (wanted) RetrieveFile(*f, start, end, intervalMode, offset, interval);
      if (stop_) break;
    }
  } else if (SourceType == 1) {
    for (auto& r : requested_) {
      if (r.Sensor) RetrieveDbSensor(*r.Sensor, r.Name, start, end, intervalMode, offset, interval);
      if (stop_) break;
    }
  }
}

void TDataMgr::RetrieveFile(datamgr::TDataFile& file, TimeTag s, TimeTag e, bool intervalMode, std::int32_t offset,
                            std::int32_t interval) {
  if (file.Sensors.empty() || file.Interval <= 0 || file.EndTime < s || e < file.FirstTime || e < s) return;
  if (interval == 0) interval = file.Interval;
  s = std::max<TimeTag>(Clamp(static_cast<std::int64_t>(file.TagOfGrid(file.GridOf(s))) - file.Interval), file.FirstTime);
  e = std::min<TimeTag>(Clamp(static_cast<std::int64_t>(file.TagOfGrid(file.GridOf(e))) + file.Interval), file.EndTime);
  std::vector<TSensor*> selected;
  for (auto& [name, sensor] : file.Sensors)
    if (sensor->Selected) selected.push_back(sensor.get());
  TimeTag boundary = 0, intervalStart = s;
  TimeTag nextSample = NextBoundary(s, interval, offset);
  if (intervalMode) {
    for (TSensor* sensor : selected) sensor->Statistics.Reset();
    boundary = NextBoundary(s + 1, interval, offset);
  }
  const std::size_t perRecord = file.Sensors.size();
  std::string raw;
  for (TSensor* sensor : selected) sensor->HasData = false;
  while (!stop_) {
    if (!ReadRaw(file, s, e, raw)) break;
    const TimeTag continuation = GetTag(raw);
    const std::size_t records = (raw.size() - 4) / (perRecord * 4);
    if (records > 0)
      for (TSensor* sensor : selected) sensor->HasData = true;
    const char* base = raw.data() + 4;
    auto valueAt = [&](std::size_t r, std::size_t column) {
      float v;
      std::memcpy(&v, base + (r * perRecord + column) * 4, 4);
      return v;  // the missing-value pattern is a not-a-number too
    };
    TimeTag t = s;
    if (!intervalMode) {
      for (std::size_t r = 0; r < records && !stop_; ++r, t += file.Interval) {
        if (t < nextSample) continue;
        nextSample = NextBoundary(t + 1, interval, offset);
        for (TSensor* sensor : selected) {
          const float v = valueAt(r, sensor->Column);
          const bool missing = std::isnan(v);
          if (Report(*sensor, t, missing ? 0.0 : v, missing)) break;
        }
      }
    } else {
      std::size_t r = 0;
      while (r < records && !stop_) {
        // The records before the next boundary only feed the statistics: each
        // sensor takes its run of values in one go, on a copy the compiler
        // keeps in registers, in the same order as value by value.
        std::size_t end = r;
        TimeTag te = t;
        while (end < records && te < boundary) ++end, te += file.Interval;
        for (TSensor* sensor : selected) {
          TStatistics local = sensor->Statistics;
          TimeTag tv = t;
          for (std::size_t k = r; k < end; ++k, tv += file.Interval) {
            const float v = valueAt(k, sensor->Column);
            if (!std::isnan(v)) local.Add(tv, v);
          }
          sensor->Statistics = local;
        }
        r = end;
        t = te;
        if (r >= records) break;
        // record r closes the interval before it, sensor by sensor
        for (TSensor* sensor : selected) {
          if (Report(*sensor, intervalStart, 0, sensor->Statistics.Count == 0)) break;
          sensor->Statistics.Reset();
          const float v = valueAt(r, sensor->Column);
          if (!std::isnan(v)) sensor->Statistics.Add(t, v);
        }
        intervalStart = t;
        boundary = NextBoundary(t + 1, interval, offset);
        ++r;
        t += file.Interval;
      }
    }
    if (continuation == 0 || stop_) break;
    s = continuation;
  }
  if (intervalMode)
    for (TSensor* sensor : selected)
      if (!stop_ && sensor->Statistics.Count > 0) Report(*sensor, intervalStart, 0, false);
}

void TDataMgr::RetrieveDbSensor(TSensor& sensor, const std::string& name, TimeTag s, TimeTag e, bool intervalMode,
                                std::int32_t offset, std::int32_t interval) {
  if (e < s) return;
  const std::int32_t step = sensor.Interval > 0 ? sensor.Interval : 900;
  if (interval == 0) interval = step;
  TimeTag boundary = 0, intervalStart = s;
  TimeTag nextSample = NextBoundary(s, interval, offset);
  if (intervalMode) {
    sensor.Statistics.Reset();
    boundary = NextBoundary(s + 1, interval, offset);
  }
  // One step of the walk: a value (or a missing one) at t.
  auto visit = [&](TimeTag t, double v, bool missing) {
    if (!intervalMode) {
      if (t < nextSample) return;
      nextSample = NextBoundary(t + 1, interval, offset);
      Report(sensor, t, v, missing);
      return;
    }
    if (t >= boundary) {
      if (Report(sensor, intervalStart, 0, sensor.Statistics.Count == 0)) return;
      sensor.Statistics.Reset();
      intervalStart = t;
      boundary = NextBoundary(t + 1, interval, offset);
    }
    if (!missing) sensor.Statistics.Add(t, v);
  };
  std::string raw;
  while (!stop_) {
    TimeTag t = s;
    if (!ReadDbRaw(sensor, name, s, e, raw, t)) break;
    const TimeTag continuation = GetTag(raw);
    const std::size_t values = (raw.size() - 4) / 4;
    for (std::size_t i = 0; i < values && !stop_; ++i, t += step) {
      sensor.HasData = true;
      double v = 0;
      const bool missing = !ValueAt(raw, i, v);
      visit(t, v, missing);
    }
    if (continuation != 0) {
      s = continuation;
      continue;
    }
    // the values ended before e: the remaining steps have no value
    for (; t <= e && !stop_; t += step) visit(t, 0, true);
    break;
  }
  if (intervalMode && !stop_) Report(sensor, intervalStart, 0, sensor.Statistics.Count == 0);
}

TRawCacheItem* TDataMgr::FindCachedRaw(const datamgr::TDataFile& file, TimeTag t) {
  TCache* cache = client_->Cache();
  if (!cache || file.Sensors.empty() || file.Interval <= 0) return nullptr;
  // a raw reply holds at most 4096 bytes of records: an earlier start cannot reach t
  const std::int64_t span = static_cast<std::int64_t>(kMaxRecordBytes / file.RecordSize() + 1) * file.Interval;
  return cache->FindRaw(file.Name, Clamp(static_cast<std::int64_t>(t) - span), t, [&](TRawCacheItem& item) {
    if (!item.EndKnown) {
      const std::int64_t records =
          static_cast<std::int64_t>(item.Text.size() - 4) / static_cast<std::int64_t>(file.RecordSize());
      item.EndTime = Clamp(static_cast<std::int64_t>(item.StartTime) + file.Interval * (records - 1));
      item.EndKnown = true;
    }
    return item.StartTime <= t && t <= item.EndTime;
  });
}

void TDataMgr::TrimCache() {
  TCache* cache = client_->Cache();
  if (!cache || CachedRawBytes() < CacheByteLimit) return;
  for (int draw = 0; draw < 100 && cache->Count() > 0; ++draw) {
    const int i = cache->RandomIndex();
    if (dynamic_cast<TRawCacheItem*>(cache->Item(i))) cache->Delete(i);
    if (CachedRawBytes() < CacheByteLimit * 9 / 10) break;
  }
}

bool TDataMgr::ReadRaw(const datamgr::TDataFile& file, TimeTag s, TimeTag e, std::string& raw) {
  if (TRawCacheItem* item = FindCachedRaw(file, s)) {
    const std::size_t recordSize = file.RecordSize();
    const std::int64_t first = (static_cast<std::int64_t>(file.GridOf(s)) - file.GridOf(item->StartTime)) / file.Interval;
    const TimeTag last = std::min(item->EndTime, e);
    std::int64_t count = (static_cast<std::int64_t>(file.GridOf(last)) - file.GridOf(s)) / file.Interval + 1;
    count = std::max<std::int64_t>(0, std::min<std::int64_t>(count, static_cast<std::int64_t>(kMaxRawValues / file.Sensors.size())));
    const TimeTag after = file.TagOfGrid(Clamp(static_cast<std::int64_t>(file.GridOf(s)) + count * file.Interval));
    PutTag(raw, (item->EndTime < e || after <= last) ? after : 0);
    raw.append(item->Text, 4 + static_cast<std::size_t>(first) * recordSize, static_cast<std::size_t>(count) * recordSize);
    return true;
  }
  TrimCache();
  TCache* cache = client_->Cache();
  if (cache) cache->SetItemClass(TCacheItemClass::Raw);
  const bool ok = client_->Execute(FormatStr("RAW,%p,%j,%j", file.Name, s, e), raw, 1);
  if (cache) cache->SetItemClass(TCacheItemClass::Plain);
  return ok && raw.size() >= 4;
}

datamgr::TDataFile* TDataMgr::FileOf(const TSensor* sensor) const { return sensor ? sensor->File : nullptr; }

TSensor* TDataMgr::FindRequested(const std::string& name) const {
  for (const auto& r : requested_)
    if (r.Sensor && SameText(r.Name, name)) return r.Sensor;
  return nullptr;
}

std::string TDataMgr::ReadPoint(const std::string& name, TimeTag time) {
  TSensor* sensor = FindRequested(name);
  datamgr::TDataFile* file = FileOf(sensor);
  if (file) {
    if (TRawCacheItem* item = FindCachedRaw(*file, time)) {
      const std::int64_t record = (static_cast<std::int64_t>(file->GridOf(time)) - file->GridOf(item->StartTime)) / file->Interval;
      double v = 0;
      if (!ValueAt(item->Text, static_cast<std::size_t>(record) * file->Sensors.size() + sensor->Column, v)) return {};
      return FormatStr("%1.*r", sensor->Digits, v);
    }
  }
  std::string reply;
  if (!client_->Execute(FormatStr("POINT,%p,%j", name, time), reply, 0) || IsNotAvailable(reply)) return {};
  return reply;
}

bool TDataMgr::WritePoint(const std::string& name, TimeTag time, const std::string& valueText) {
  TSensor* sensor = FindRequested(name);
  if (!sensor) return false;
  std::uint32_t bits = kMissingValueBits;
  const bool missing = valueText.empty() || valueText.rfind("--", 0) == 0;
  if (!missing) {
    double v = 0;
    if (!TryParseReal(valueText, v)) return false;
    const float f = static_cast<float>(v);
    std::memcpy(&bits, &f, 4);
  }
  if (!client_->Store(FormatStr("POINT,%p,%j", name, time), missing ? std::string() : valueText, 0)) return false;
  datamgr::TDataFile* file = FileOf(sensor);
  if (file) {
    if (TRawCacheItem* item = FindCachedRaw(*file, time)) {
      const std::int64_t record = (static_cast<std::int64_t>(file->GridOf(time)) - file->GridOf(item->StartTime)) / file->Interval;
      const std::size_t at = 4 + (static_cast<std::size_t>(record) * file->Sensors.size() + sensor->Column) * 4;
      if (at + 4 <= item->Text.size()) std::memcpy(item->Text.data() + at, &bits, 4);
    }
  }
  return true;
}

bool TDataMgr::PreloadDbSensor(TSensor& sensor, const std::string& name) {
  QSqlQuery q(DBConnection().Database());
  if (!RunSensorQuery(q, name, sensor.FirstTime, sensor.LastTime)) return false;
  const int timeField = q.record().indexOf(QStringLiteral("TIME_TAG"));
  const int valueField = q.record().indexOf(QStringLiteral("ED_VALUE"));
  const std::int32_t step = sensor.Interval > 0 ? sensor.Interval : 900;
  const TimeTag end = sensor.LastTime;
  bool first = true;
  sensor.Values.clear();
  while (q.next()) {
    DateTimeValue when = 0;
    if (!FieldDateTime(q.value(timeField), when)) continue;
    const TimeTag t = DateTimeToTimeTag(when);
    if (first) {
      sensor.FirstTime = t;
      const std::int64_t size = std::max<std::int64_t>(0, (static_cast<std::int64_t>(end) - t) / step) + 1;
      sensor.Values.assign(static_cast<std::size_t>(size), std::bit_cast<float>(kMissingValueBits));
      first = false;
    }
    const QVariant value = q.value(valueField);
    if (value.isNull()) continue;
    const std::int64_t index = (static_cast<std::int64_t>(t) - sensor.FirstTime) / step;
    if (index >= 0 && index < static_cast<std::int64_t>(sensor.Values.size()))
      sensor.Values[static_cast<std::size_t>(index)] = value.toFloat();
  }
  if (first) {
    sensor.FirstTime = 0;
    sensor.LastTime = 0;
  }
  sensor.Loaded = true;
  return true;
}

bool TDataMgr::ReadDbRaw(TSensor& sensor, const std::string& name, TimeTag s, TimeTag e, std::string& raw,
                         TimeTag& first) {
  const std::int32_t step = sensor.Interval > 0 ? sensor.Interval : 900;
  if (sensor.Loaded) {
    PutTag(raw, 0);
    first = s;
    if (sensor.Values.empty()) return true;
    const std::int64_t from = s <= sensor.FirstTime ? 0 : (static_cast<std::int64_t>(s) - sensor.FirstTime + step - 1) / step;
    first = Clamp(sensor.FirstTime + from * step);
    const std::int64_t lastIndex = static_cast<std::int64_t>(sensor.Values.size()) - 1;
    const std::int64_t upTo = std::min<std::int64_t>(lastIndex, (static_cast<std::int64_t>(e) - sensor.FirstTime) / step);
    std::int64_t count = upTo - from + 1;
    if (e < sensor.FirstTime || count <= 0) return true;
    if (count > static_cast<std::int64_t>(kMaxRawValues)) {
      count = kMaxRawValues;
      PutTag(raw, Clamp(first + count * step));
    }
    raw.append(reinterpret_cast<const char*>(sensor.Values.data() + from), static_cast<std::size_t>(count) * 4);
    return true;
  }
  QSqlQuery q(DBConnection().Database());
  if (!RunSensorQuery(q, name, s, e)) return false;
  const int timeField = q.record().indexOf(QStringLiteral("TIME_TAG"));
  const int valueField = q.record().indexOf(QStringLiteral("ED_VALUE"));
  const std::int64_t steps = (static_cast<std::int64_t>(e) - s) / step + 1;
  std::vector<std::uint32_t> values(static_cast<std::size_t>(std::min<std::int64_t>(steps, kMaxRawValues)), kMissingValueBits);
  PutTag(raw, 0);
  first = s;
  while (q.next()) {
    DateTimeValue when = 0;
    if (!FieldDateTime(q.value(timeField), when)) continue;
    const std::int64_t index = (static_cast<std::int64_t>(DateTimeToTimeTag(when)) - s) / step;
    if (index < 0) continue;
    if (index >= static_cast<std::int64_t>(kMaxRawValues)) {
      PutTag(raw, Clamp(static_cast<std::int64_t>(s) + static_cast<std::int64_t>(kMaxRawValues) * step));
      break;
    }
    const QVariant value = q.value(valueField);
    if (value.isNull() || index >= static_cast<std::int64_t>(values.size())) continue;
    values[static_cast<std::size_t>(index)] = std::bit_cast<std::uint32_t>(value.toFloat());
  }
  raw.append(reinterpret_cast<const char*>(values.data()), values.size() * 4);
  return true;
}

}  // namespace kvq
