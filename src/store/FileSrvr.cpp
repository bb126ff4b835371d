#include "store/FileSrvr.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

namespace kvq {

namespace {

bool HasSuffixCi(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

// The name under which a file is listed: its path without ".DAT".
std::string KeyOf(const std::string& path) {
  return HasSuffixCi(path, ".DAT") ? path.substr(0, path.size() - 4) : path;
}

std::uint32_t FloatBits(double v) {
  const float f = static_cast<float>(v);
  std::uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

float BitsFloat(std::uint32_t b) {
  float f;
  std::memcpy(&f, &b, 4);
  return f;
}

std::string ValueText2(std::uint32_t bits) { return FormatStr("%1.2r", BitsFloat(bits)); }

std::string StationOf(std::string_view key) { return std::string(key.substr(0, key.find('.'))); }

void AddLine(std::string& messages, const std::string& line) {
  if (!messages.empty()) messages += "\r\n";
  messages += line;
}

// The lines of a text, without their CR LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

// "%P" fields of a text from `pos` on, until the text ends.
std::vector<std::string> Fields(std::string_view text, int pos = 1) {
  return CommaFields(text.substr(std::min(text.size(), static_cast<std::size_t>(pos - 1))));
}

}  // namespace

TFileServer::TFileServer(const TDataStoreGroupSetup& settings)
    : TGenServer(settings),
      qualityName_(settings.LogFileTemplate, settings.LogFolder, "log"),
      rtuQualityName_("rtu" + settings.LogFileTemplate, settings.LogFolder, "log") {}

TFileServer::~TFileServer() { CloseAll(); }

std::string TFileServer::PathOf(std::string_view name) const {
  std::string path;
  if (name.find('/') == std::string_view::npos && !block_.DataFolder.empty()) {
    path = block_.DataFolder;
    if (path.back() != '/') path += '/';
  }
  path += name;
  const std::size_t slash = path.rfind('/');
  const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.find('.', fileStart) == std::string::npos) path += ".DAT";
  return path;
}

TDataFile* TFileServer::FindFile(std::string_view name) const {
  if (lastFile_ && name == lastName_ && lastFolder_ == block_.DataFolder) return lastFile_;
  auto it = index_.find(PathOf(name));
  TDataFile* file = it != index_.end() ? it->second.File.get() : nullptr;
  if (file) {
    lastName_.assign(name);
    lastFolder_ = block_.DataFolder;
    lastFile_ = file;
  }
  return file;
}

bool TFileServer::Lookup(std::string_view key, TDataFile*& file, int& column, int& digits) const {
  auto it = index_.find(key);
  if (it == index_.end()) return false;
  column = it->second.Column;
  digits = it->second.Digits;
  if (!SameText(it->second.Target, it->second.Key)) {
    auto target = index_.find(it->second.Target);
    if (target == index_.end()) return false;
    file = target->second.File.get();
  } else {
    file = it->second.File.get();
  }
  return file != nullptr;
}

std::vector<TDataFile*> TFileServer::Files() const {
  std::vector<TDataFile*> files;
  for (const auto& [key, rec] : index_)
    if (rec.File) files.push_back(rec.File.get());
  return files;
}

bool TFileServer::Register(std::unique_ptr<TDataFile> file) {
  lastFile_ = nullptr;
  if (!file || !file->Open()) return false;
  const std::string path = file->Path();
  if (index_.count(path)) return false;
  TDataFile* f = file.get();
  index_.emplace(path, TFileRec{path, path, 0, 0, std::move(file)});
  const TSensorList& sensors = f->Sensors();
  for (int i = 0; i < sensors.Count(); ++i) {
    const TSensorRec& s = sensors[i];
    // A sensor already known stays with its first file; the file's other
    // sensors are still indexed.
    if (index_.count(s.FullName)) {
      Report(MessageKind::Warning, "Sensor " + s.FullName + " of " + path + " is already served by another file");
      continue;
    }
    index_.emplace(s.FullName, TFileRec{s.FullName, path, s.Column, s.Digits, nullptr});
  }
  return true;
}

bool TFileServer::RegisterAndList(std::unique_ptr<TDataFile> file) {
  if (!file) return false;
  const std::string key = file->Key();
  if (!Register(std::move(file))) return false;
  if (FieldIndex(key, block_.FileList) == 0) {
    if (!block_.FileList.empty()) block_.FileList += ',';
    block_.FileList += key;
  }
  return true;
}

bool TFileServer::Unregister(TDataFile* file, bool erase) {
  lastFile_ = nullptr;
  if (!file) return false;
  const std::string path = file->Path();
  const std::string key = file->Key();
  auto fileIt = index_.find(path);
  if (fileIt == index_.end() || fileIt->second.File.get() != file) return false;
  for (auto it = index_.begin(); it != index_.end();) {
    if (!it->second.File && SameText(it->second.Target, path))
      it = index_.erase(it);
    else
      ++it;
  }
  std::unique_ptr<TDataFile> owned = std::move(fileIt->second.File);
  index_.erase(fileIt);
  const bool ok = erase ? owned->EraseFile() : owned->Close();
  while (DeleteField(key, block_.FileList)) {
  }
  while (DeleteField(path, block_.FileList)) {
  }
  return ok;
}

bool TFileServer::CloseAll() {
  lastFile_ = nullptr;
  bool ok = true;
  for (auto& [key, rec] : index_)
    if (rec.File) ok = rec.File->Close() && ok;
  index_.clear();
  if (qualityLog_) std::fclose(qualityLog_);
  if (rtuQualityLog_) std::fclose(rtuQualityLog_);
  qualityLog_ = rtuQualityLog_ = nullptr;
  return ok;
}

bool TFileServer::OpenAll() {
  CloseAll();
  opened_ = true;
  for (const std::string& name : Fields(block_.FileList)) {
    if (name.empty()) continue;
    const std::string path = PathOf(name);
    if (index_.count(path)) continue;
    if (!Register(std::make_unique<TDataFile>(path, KeyOf(path)))) opened_ = false;
  }
  return opened_;
}

bool TFileServer::Initialize(std::string_view, std::string& errorText) {
  errorText.clear();
  RealtimeStoreList = block_.RealtimeStoreList;
  TimetagStoreList = block_.TimetagStoreList;
  if (OpenAll()) return true;
  errorText = "Error 610: Unable to open all data files";
  return false;
}

bool TFileServer::IsKnown(std::string_view key) { return index_.count(key) > 0; }

int TFileServer::AddFile(std::string_view name, std::string_view description, bool create) {
  const std::string path = PathOf(name);
  if (index_.count(path)) return 3;
  auto file = std::make_unique<TDataFile>(path, KeyOf(path));
  // CREATE never overwrites a file that is already there, registered or not.
  if (create && !file->CreateFile(description, false)) return 2;
  return RegisterAndList(std::move(file)) ? 1 : 2;
}

bool TFileServer::RemoveFile(std::string_view name, bool erase) { return Unregister(FindFile(name), erase); }

bool TFileServer::ReadPoint(std::string_view station, std::string_view sensor, std::string_view time,
                            std::string& value) {
  const std::string key = std::string(station) + "." + std::string(sensor);
  TDataFile* file = nullptr;
  int column = 0, digits = 0;
  if (!Lookup(key, file, column, digits)) return false;
  TimeTag t = 0;
  ScanStr(time, "%Q", t);
  const TimeTag grid = file->GridOf(t);
  std::uint32_t bits = kMissingBits;
  if (!file->ReadValue(column, grid, bits)) {
    Report(MessageKind::Error,
           FormatStr("Error 608: Unable to read data from \"%p\" for \"%p\" for %j", file->Path(), key, grid));
    return false;
  }
  value = bits == kMissingBits ? std::string() : FormatStr("%1.*r", digits, BitsFloat(bits));
  Report(MessageKind::Info, FormatStr("Read data value: \"%p\" for %j is \"%p\"", key, grid, ValueText2(bits)));
  return true;
}

bool TFileServer::StoreValue(std::string_view station, std::string_view sensor, std::string_view valueText,
                             std::string_view timeText, std::string_view dataKind) {
  if (SwitchedOff()) return true;
  std::string time(timeText);
  // Station data passes the store gate; a value with no data kind is an edit
  // made in this program and is always stored.
  if (!dataKind.empty() && !StoreGate(dataKind, station, time, sensor)) return true;
  const std::string key = std::string(station) + "." + std::string(sensor);
  TDataFile* file = nullptr;
  int column = 0, digits = 0;
  if (!Lookup(key, file, column, digits)) {
    Report(MessageKind::Error, "Error 621: No data file found to store " + key);
    return false;
  }
  TimeTag t = 0;
  ScanStr(time, "%Q", t);
  return InsertValueText(*file, column, t, key, valueText, nullptr);
}

bool TFileServer::InsertValueText(TDataFile& file, int column, TimeTag time, std::string_view key,
                                  std::string_view valueText, std::string* messages) {
  double v = 0;
  const std::uint32_t bits = TryParseReal(valueText, v) ? FloatBits(v) : kMissingBits;
  const bool ok = file.InsertValue(column, time, bits);
  if (!messages && !Reporting()) return ok;  // nobody listens: skip building the texts
  const TimeTag grid = file.GridOf(time);
  const std::string text =
      ok ? FormatStr("Inserted value: \"%p\" for %j is \"%p\"", key, grid, ValueText2(bits))
         : FormatStr("Error 609: Unable to insert data into \"%p\" for \"%p\" for %j", file.Path(), key, grid);
  Report(ok ? MessageKind::Info : MessageKind::Error, text);
  if (messages) AddLine(*messages, text);
  return ok;
}

bool TFileServer::ListFiles(std::vector<std::string>& list) {
  list.clear();
  for (const auto& [key, rec] : index_)
    if (rec.File) list.push_back(rec.File->Key());
  return true;
}

bool TFileServer::ListSensors(std::string_view name, std::vector<std::string>& list) {
  list.clear();
  TDataFile* file = FindFile(name);
  if (!file) return false;
  for (int i = 0; i < file->Sensors().Count(); ++i) list.push_back(file->Sensors()[i].FullName);
  return true;
}

std::string TFileServer::DescribeSensors(std::string_view name, std::vector<std::string>& list) {
  list.clear();
  std::string result;
  TDataFile* file = FindFile(name);
  if (!file) return result;
  for (int i = 0; i < file->Sensors().Count(); ++i) {
    const TSensorRec& s = file->Sensors()[i];
    list.push_back(FormatStr("%P%W", s.FullName, s.Digits));
    FormatAppend(result, "%P%W", s.FullName, s.Digits);
  }
  return result;
}

bool TFileServer::DescribeFile(std::string_view name, bool createForm, std::string& text) {
  TDataFile* file = FindFile(name);
  if (!file) return false;
  text = "\"" + FormatStr("%p", file->Name) + "\"";
  const bool end = file->EndOfInterval != 0;
  if (createForm) {
    FormatAppend(text, "%D%T%T%B", file->StartDay, static_cast<std::int32_t>(file->TimeOffset), file->Interval, end);
    for (int i = 0; i < file->Sensors().Count(); ++i)
      FormatAppend(text, "%P%W", file->Sensors()[i].FullName, file->Sensors()[i].Digits);
  } else {
    FormatAppend(text, "%D%J%T%T%B%W", file->StartDay, file->EndTime(), static_cast<std::int32_t>(file->TimeOffset),
                 file->Interval, end, file->SensorCount);
  }
  return true;
}

TDataFile* TFileServer::Ensure(std::string_view name) {
  TDataFile* file = FindFile(name);
  if (file) return file;
  // A file not in the index is opened on the spot, on its own.
  block_.FileList = PathOf(name);
  OpenAll();
  return FindFile(name);
}

bool TFileServer::ReadRange(std::string_view name, std::string_view request, TRangeRequest& req) {
  TDataFile* file = Ensure(name);
  if (!file) return false;
  if (!req.Raw) return ReadText(*file, request, req);
  TimeTag start = 0, end = 0;
  const bool ok = ScanStr(request, "%J%J", start, end) && file->ReadRawBlock(start, end, req.Reply);
  if (Reporting())
    Report(ok ? MessageKind::Info : MessageKind::Error,
           (ok ? "Reading - " : "Error 606: Unable to read data from file ") + file->Path());
  return ok;
}

bool TFileServer::ReadText(TDataFile& file, std::string_view request, TRangeRequest& req) {
  if (request.find('>') != std::string_view::npos) {
    Report(MessageKind::Error, "Error 606: Unable to read data from file " + file.Path() +
                                   ": no spreadsheet application is available for output after \">\"");
    return false;
  }
  std::string startText, endText, rest;
  int pos = 1;
  ScanStrAt(request, pos, "%P%P%S", startText, endText, rest);
  if (endText.find_first_not_of(" \t") == std::string::npos) return false;
  const TimeTag start = file.GridOf(EvaluateTimeExpression(startText, 0));
  const TimeTag end = file.GridOf(EvaluateTimeExpression(endText, 0));

  // step and sensor list
  std::int64_t step = file.Interval;
  std::string calendarStep;
  std::vector<std::string> names;
  if (rest.empty() || rest.find_first_of("/:") != std::string::npos) {
    int p = 1;
    std::string stepText;
    ScanStrAt(rest, p, "%P", stepText);
    if (stepText.find('/') != std::string::npos) {
      calendarStep = stepText;
    } else {
      TimeTag s = 0;
      if (ScanStr(stepText, "%t", s) && s > 0) step = s;
    }
    names = Fields(rest, p);
  }
  std::vector<int> columns;
  std::vector<std::uint16_t> digits;
  if (names.empty()) {
    for (int i = 0; i < file.Sensors().Count(); ++i) {
      names.push_back(file.Sensors()[i].FullName);
      columns.push_back(file.Sensors()[i].Column);
      digits.push_back(file.Sensors()[i].Digits);
    }
  } else {
    for (const auto& n : names) {
      std::uint16_t d = 0;
      columns.push_back(file.Sensors().FindSensor(n, &d));
      digits.push_back(d);
    }
  }

  const std::size_t limit = req.Plus ? 4096 : 60000;
  std::string& reply = req.Reply;
  reply.clear();
  if (req.Plus) reply = "00/00/0000 00:00:00\r\n";
  if (!req.Block) {
    std::string header = "DATE/TIME";
    for (const auto& n : names) FormatAppend(header, "%P", n);
    reply += header;
    reply += "\r\n";
  }
  TRecordBuffer record;
  std::string line;
  std::int64_t t = start;
  const std::int64_t fileStart = file.StartTime();
  bool cut = false;
  while (t <= end && t < file.EndTime()) {
    if (reply.size() >= limit) {
      cut = true;
      break;
    }
    // the record holding t
    const std::int64_t k = (t - fileStart) / file.Interval - ((t - fileStart) % file.Interval < 0 ? 1 : 0);
    const std::int64_t g = fileStart + k * file.Interval;
    record.Grid = static_cast<TimeTag>(g);
    record.Complete = true;
    if (!file.ReadRecord(record)) return false;
    line.clear();
    if (!req.Block) FormatAppend(line, "%j", file.TagOfGrid(record.Grid));
    bool anyValue = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (!req.Block || i > 0) line += ',';
      if (columns[i] == 0) {
        line += "#NAME?";
        continue;
      }
      const std::uint32_t bits = record.Values[static_cast<std::size_t>(columns[i] - 1)];
      const float v = BitsFloat(bits);
      if (std::isnan(v)) continue;
      FormatAppend(line, "%1.*r", digits[i], v);
      anyValue = true;
    }
    if (!req.Minus || anyValue) {
      reply += line;
      reply += "\r\n";
    }
    ProcessPendingEvents();
    std::int64_t next = calendarStep.empty()
                            ? t + step
                            : EvaluateTimeExpression("NOW+" + calendarStep, static_cast<TimeTag>(t));
    if (next <= t) break;  // a step that does not move on ends the range
    t = next;
  }
  if (req.Plus && cut) {
    const std::string next = FormatStr("%j", file.TagOfGrid(static_cast<TimeTag>(t)));
    reply.replace(0, next.size(), next);
  }
  return true;
}

bool TFileServer::InsertText(std::string_view name, std::string_view params, TRangeRequest& req) {
  TDataFile* file = FindFile(name);
  if (!file) return false;
  bool ok = true;
  if (req.Raw) {
    TimeTag t = 0;
    ok = ScanStr(params, "%J", t) && file->WriteRawBlock(t, req.ValueText);
  } else {
    std::vector<std::string_view> lines = Lines(req.ValueText);
    std::vector<std::string> names;
    TimeTag time = 0, step = 0;
    std::size_t first = 0;
    int pos = 1;
    if (req.Block) {
      ok = ScanStrAt(params, pos, "%J%T", time, step);
      if (step <= 0) step = file->Interval;
      names = Fields(params, pos);
      if (names.empty())
        for (int i = 0; i < file->Sensors().Count(); ++i) names.push_back(file->Sensors()[i].FullName);
    } else {
      if (!lines.empty()) names = Fields(lines[0]);
      first = 1;
    }
    std::vector<int> columns;
    for (const auto& n : names) columns.push_back(file->Sensors().FindSensor(n));
    for (std::size_t l = first; ok && l < lines.size(); ++l) {
      std::string_view line = lines[l];
      if (line.empty()) continue;
      int p = 1;
      if (!req.Block && !ScanStrAt(line, p, "%J", time)) {
        ok = false;
        break;
      }
      for (std::size_t i = 0; i < columns.size() && p <= static_cast<int>(line.size()); ++i) {
        std::string value;
        ScanStrAt(line, p, "%P", value);
        if (columns[i] > 0)
          ok = InsertValueText(*file, columns[i], time, names[i], value, nullptr) && ok;
      }
      if (req.Block) time += step;
      ProcessPendingEvents();
    }
  }
  Report(ok ? MessageKind::Info : MessageKind::Error,
         (ok ? "Inserted data into file " : "Error 607: Unable to write data for file ") + file->Path());
  return ok;
}

bool TFileServer::SplitFile(std::string_view name, std::string_view time) {
  TDataFile* file = FindFile(name);
  if (!file) return false;
  return file->SplitBefore(time.empty() ? 0 : EvaluateTimeExpression(time, 0));
}

bool TFileServer::AdjustFile(std::string_view name, std::string_view time) {
  TDataFile* file = FindFile(name);
  if (!file) return false;
  return file->MoveStart(time.empty() ? 0 : EvaluateTimeExpression(time, 0));
}

bool TFileServer::CopyData(TDataFile& from, TDataFile& to) {
  const int n = to.SensorCount;
  std::vector<int> oldColumn(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) oldColumn[static_cast<std::size_t>(i)] = from.Sensors().FindSensor(to.Sensors()[i].FullName);
  const std::int64_t oldStart = from.StartTime(), newStart = to.StartTime();
  const std::int64_t oldI = from.Interval, newI = to.Interval;
  std::int64_t firstOld = 0;
  std::vector<std::uint32_t> out;
  if (newStart > oldStart) {
    firstOld = (newStart - oldStart) / oldI;
  } else if (newStart < oldStart) {
    const std::int64_t days = (oldStart - newStart) / 86400;
    out.assign(static_cast<std::size_t>(days * (86400 / newI) * n), kMissingBits);
    if (!to.AppendRecords(out)) return false;
  }
  const std::int64_t total = from.RecordCount();
  const std::int64_t batch = std::max<std::int64_t>(1, 65536 / from.RecordSize);
  std::vector<std::uint32_t> in;
  std::vector<std::uint32_t> record(static_cast<std::size_t>(n));
  const std::int64_t repeat = oldI >= newI ? oldI / newI : 1;
  const std::int64_t skip = oldI < newI ? newI / oldI : 1;
  for (std::int64_t k = firstOld; k < total; k += batch) {
    const std::int64_t count = std::min(batch, total - k);
    if (!from.ReadRecords(k, count, in)) return false;
    out.clear();
    for (std::int64_t r = 0; r < count; ++r) {
      if ((k + r - firstOld) % skip != 0) continue;  // shorter old intervals: one per new interval
      const std::uint32_t* values = in.data() + r * from.SensorCount;
      for (int i = 0; i < n; ++i) {
        const int c = oldColumn[static_cast<std::size_t>(i)];
        record[static_cast<std::size_t>(i)] = c > 0 ? values[c - 1] : kMissingBits;
      }
      for (std::int64_t x = 0; x < repeat; ++x) out.insert(out.end(), record.begin(), record.end());
    }
    if (!out.empty() && !to.AppendRecords(out)) return false;
  }
  return true;
}

bool TFileServer::ChangeFile(std::string_view name, std::string_view description) {
  const std::string path = PathOf(name);
  const std::string key = KeyOf(path);
  TDataFile* old = FindFile(path);
  // A file already on disk but not registered is restructured too, never overwritten.
  std::unique_ptr<TDataFile> onDisk;
  std::error_code ec;
  if (!old && std::filesystem::exists(path, ec)) {
    onDisk = std::make_unique<TDataFile>(path, key);
    if (!onDisk->Open()) return false;
  }
  TDataFile* source = old ? old : onDisk.get();
  if (!source) {
    auto created = std::make_unique<TDataFile>(path, key);
    if (!created->CreateFile(description, false)) return false;
    return RegisterAndList(std::move(created));
  }
  const std::string newPath = KeyOf(path) + ".NEW";
  auto fresh = std::make_unique<TDataFile>(newPath, key);
  if (!fresh->CreateFile(description, true)) {
    fresh->EraseFile();
    return false;
  }
  // The new file is built whole and flushed to disk, then renamed over the
  // old one: a crash at any moment leaves the old or the new file complete.
  if (!source->FlushPending(true) || !CopyData(*source, *fresh) || !fresh->FlushPending(true) || !fresh->Close()) {
    fresh->EraseFile();
    return false;
  }
  if (std::rename(newPath.c_str(), path.c_str()) != 0) {
    fresh->EraseFile();
    return false;
  }
  if (old)
    Unregister(old, false);
  else
    onDisk->Close();
  return RegisterAndList(std::make_unique<TDataFile>(path, key));
}

std::string TFileServer::FileOfSensor(std::string_view station, std::string_view sensor) {
  TDataFile* file = nullptr;
  int column = 0, digits = 0;
  if (!Lookup(std::string(station) + "." + std::string(sensor), file, column, digits)) return {};
  return file->Key();
}

bool TFileServer::StoreRealtime(std::string_view key, std::string_view valueText, std::string& messages) {
  TDataFile* file = nullptr;
  int column = 0, digits = 0;
  if (!Lookup(key, file, column, digits)) {
    AddLine(messages, FormatStr("No data file to store realtime data from station %p for data \"%p\"", StationOf(key),
                                valueText));
    return false;
  }
  const double v = TextToReal(valueText, std::numeric_limits<double>::quiet_NaN());
  return InsertValueText(*file, column, NowTimeTag(), key, std::isnan(v) ? "" : FormatStr("%1.9r", v), &messages);
}

bool TFileServer::StoreTimetag(std::string_view station, std::string_view text, std::string& messages) {
  TimeTag t = 0;
  int pos = 1;
  if (!ScanStrAt(text, pos, "%J", t)) return false;
  bool ok = true;
  while (pos <= static_cast<int>(text.size())) {
    std::string sensor, value;
    const int before = pos;
    ScanStrAt(text, pos, "%P%P", sensor, value);
    if (pos == before) break;
    const std::string key = std::string(station) + "." + sensor;
    TDataFile* file = nullptr;
    int column = 0, digits = 0;
    if (!Lookup(key, file, column, digits)) {
      AddLine(messages, FormatStr("No data file to store timetag data from station %p for data \"%p\"", station, sensor));
      ok = false;
      continue;
    }
    const double v = TextToReal(value, std::numeric_limits<double>::quiet_NaN());
    ok = InsertValueText(*file, column, t, key, std::isnan(v) ? "" : FormatStr("%1.9r", v), &messages) && ok;
  }
  return ok;
}

bool TFileServer::StoreWildcard(std::string_view text, std::string_view label, std::string& messages) {
  TimeTag t = 0;
  int pos = 1;
  if (!ScanStrAt(text, pos, "%J", t)) {
    AddLine(messages, FormatStr("Error 611: Unable to decode date/time in %p data for data \"%p\"", label, text));
    return false;
  }
  bool ok = true;
  while (pos <= static_cast<int>(text.size())) {
    std::string key, value;
    const int before = pos;
    ScanStrAt(text, pos, "%P%P", key, value);
    if (pos == before) break;
    TDataFile* file = nullptr;
    int column = 0, digits = 0;
    const double v = TextToReal(value, std::numeric_limits<double>::quiet_NaN());
    if (!Lookup(key, file, column, digits) ||
        !InsertValueText(*file, column, t, key, std::isnan(v) ? "" : FormatStr("%1.9r", v), &messages)) {
      AddLine(messages, FormatStr("Error 612: Unable to decode %p data \"%p\"", label, key));
      ok = false;
    }
  }
  return ok;
}

bool TFileServer::WriteLog(TDayFile& name, std::FILE*& log, std::string_view line) {
  if (name.NameFor(NowTimeTag()) || !log) {
    if (log) std::fclose(log);
    log = nullptr;
    std::error_code ec;
    const std::filesystem::path p(name.Name());
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    log = std::fopen(name.Name().c_str(), "a");
  }
  if (!log) return false;
  const bool ok = std::fwrite(line.data(), 1, line.size(), log) == line.size() && std::fputc('\n', log) != EOF;
  return std::fflush(log) == 0 && ok;
}

bool TFileServer::StoreQuality(std::string_view record) {
  std::string station, item;
  ScanStr(record, "%P%P", station, item);
  const std::string now = FormatStr("%j", NowTimeTag());
  if (WriteLog(qualityName_, qualityLog_, record)) {
    Report(MessageKind::Info, FormatStr("Updated Quality data: \"%p - %p\" at \"%p\"", station, item, now));
    return true;
  }
  Report(MessageKind::Error, FormatStr("Error 614: Unable to update quality data for \"%p\" at ", station) + now);
  return false;
}

bool TFileServer::LogRtuQuality(std::string_view record) {
  std::string station;
  ScanStr(record, "%P", station);
  const std::string now = FormatStr("%j", NowTimeTag());
  if (WriteLog(rtuQualityName_, rtuQualityLog_, record)) {
    Report(MessageKind::Info, FormatStr("Logged RTU Quality data: \"%p\" at \"%p\"", station, now));
    return true;
  }
  Report(MessageKind::Error, FormatStr("Error 613: Unable to insert Quality data for %p at \"%p\"", station, now));
  return false;
}

bool TFileServer::ArchiveAll(std::string& messages) {
  const int age = block_.ArchiveDays;
  if (age <= 0) return true;
  const TimeTag now = NowTimeTag();
  const std::int64_t cutoff = static_cast<std::int64_t>(now - now % 86400) - static_cast<std::int64_t>(age) * 86400;
  bool ok = true;
  for (TDataFile* file : Files()) {
    if (file->StartTime() >= cutoff) continue;
    if (file->SplitBefore(static_cast<TimeTag>(cutoff))) {
      AddLine(messages, FormatStr("Archived data file - \"%p\"", file->Path()));
    } else {
      AddLine(messages, "Error 617: Unable to archive/split data files");
      ok = false;
    }
  }
  return ok;
}

}  // namespace kvq
