#include "store/GenClient.h"

#include "foundation/Directive.h"
#include "store/FileSrvr.h"

namespace kvq {

namespace {

enum Verb {
  kPoint = 1, kRaw, kBlock, kBlockPlus, kTag, kTagPlus, kTagMinus, kTagHash, kBlockFill, kTagFill, kSensor, kFormat,
  kInfo, kCreate, kDelete, kFiles, kSplit, kAdjust, kChange, kDigits, kExist, kCInfo, kActivate, kDeactivate
};

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& s : items) FormatAppend(out, "%P", s);
  return out;
}

}  // namespace

TGenClient::TGenClient() : settings_(GetGroupSetup("1")) {
  own_ = std::make_unique<TFileServer>(settings_);
  server_ = own_.get();
  std::string error;
  server_->Initialize("GenClient", error);
}

TGenClient::TGenClient(TGenServer* shared) : settings_(GetGroupSetup("1")), server_(shared) {}

TGenClient::~TGenClient() = default;

void TGenClient::PointAt(TGenServer* server) {
  server_ = server;
  own_.reset();
}

void TGenClient::SetCaching(bool on) {
  if (on && !cache_) cache_ = std::make_unique<TCache>();
  if (!on) cache_.reset();
}

bool TGenClient::Execute(std::string_view command, std::string& reply, int mode) {
  if (mode != 0 && mode != 1) return false;
  reply.assign(NotAvailable);
  if (!server_) return false;
  int pos = 1;
  const int verb = NextFieldIndex(command, pos, kVerbs);
  if (verb == 0) return false;
  if (verb == kRaw && mode != 1) return false;
  if (verb == kFiles) {
    std::vector<std::string> files;
    server_->ListFiles(files);
    reply = Joined(files);
    return true;
  }
  const bool ok = Dispatch(verb, command, pos, reply);
  if (cache_) cache_->Store(command, reply);
  return ok;
}

bool TGenClient::Dispatch(int verb, std::string_view command, int pos, std::string& reply) {
  std::string a;
  ScanStrAt(command, pos, "%P", a);
  const std::string_view rest = command.substr(std::min<std::size_t>(static_cast<std::size_t>(pos - 1), command.size()));
  auto outcome = [&](bool ok) {
    reply = ok ? "1" : "2";
    return true;
  };
  switch (verb) {
    case kPoint: {
      std::string station, sensor, time, value;
      ScanStr(a, "%s.%p", station, sensor);
      ScanStrAt(command, pos, "%P", time);
      if (!server_->ReadPoint(station, sensor, time, value)) return false;
      reply = value;
      return true;
    }
    case kRaw:
    case kBlock:
    case kBlockPlus:
    case kTag:
    case kTagPlus:
    case kTagMinus:
    case kTagHash:
    case kBlockFill:
    case kTagFill: {
      TRangeRequest req;
      req.Limit = kReplyBufferSize;
      req.Raw = verb == kRaw;
      req.Block = verb == kBlock || verb == kBlockPlus || verb == kTagFill;
      req.Plus = verb == kBlockPlus || verb == kTagPlus || verb == kTagHash;
      req.Minus = verb == kTagMinus || verb == kTagHash;
      if (!server_->ReadRange(a, rest, req)) return false;
      reply = std::move(req.Reply);
      return true;
    }
    case kSensor: {
      reply.clear();
      std::vector<std::string> names;
      if (!server_->ListSensors(a, names)) return false;
      reply = Joined(names);
      return true;
    }
    case kFormat: {
      std::vector<std::string> list;
      reply = server_->DescribeSensors(a, list);
      return true;
    }
    case kInfo:
    case kCInfo:
      reply.clear();
      return server_->DescribeFile(a, verb == kCInfo, reply);
    case kCreate:
      server_->AddFile(a, rest, true);
      return true;
    case kActivate:
      server_->AddFile(a, "", false);
      return true;
    case kDelete:
      return outcome(server_->RemoveFile(a, true));
    case kDeactivate:
      return outcome(server_->RemoveFile(a, false));
    case kSplit:
      return outcome(server_->SplitFile(a, rest));
    case kAdjust:
      return outcome(server_->AdjustFile(a, rest));
    case kChange:
      return outcome(server_->ChangeFile(a, rest));
    case kDigits: {
      std::string station, sensor;
      ScanStr(a, "%s.%p", station, sensor);
      reply = FormatStr("%w", server_->SensorDigits(station, sensor));
      return true;
    }
    case kExist: {
      std::string station, sensor;
      ScanStr(a, "%s.%p", station, sensor);
      reply = server_->FileOfSensor(station, sensor);
      return true;
    }
    default:
      return false;
  }
}

bool TGenClient::Store(std::string_view command, std::string_view value, int mode) {
  if (mode != 0 && mode != 1) return false;
  if (!server_) return false;
  int pos = 1;
  const int verb = NextFieldIndex(command, pos, "POINT,RAW,BLOCK,TAG");
  if (verb != 1) return false;  // only POINT stores; RAW, BLOCK and TAG store nothing
  std::string a, station, sensor, time;
  ScanStrAt(command, pos, "%P%P", a, time);
  ScanStr(a, "%s.%p", station, sensor);
  double v = 0;
  const std::string_view text = TryParseReal(value, v) ? value : std::string_view();
  return server_->StoreValue(station, sensor, text, time, "");
}

}  // namespace kvq
