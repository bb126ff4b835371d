// TGenClient: the one text interface to the data-file store. A command such
// as "RAW,/data/RIVER1,03/07/2009 00:00:00,03/08/2009 00:00:00" goes in, a
// reply comes out. The client runs in the same process as its server.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "foundation/GroupSetup.h"
#include "store/GenServer.h"
#include "store/ReplyCache.h"

namespace kvq {

class TFileServer;

class TGenClient {
 public:
  // The verbs, in the order of their numbers (1-based).
  static constexpr std::string_view kVerbs =
      "POINT,RAW,BLOCK,BLOCK+,TAG,TAG+,TAG-,TAG#,BLOCKFILL,TAGFILL,SENSOR,FORMAT,INFO,CREATE,DELETE,FILES,SPLIT,"
      "ADJUST,CHANGE,DIGITS,EXIST,CINFO,ACTIVATE,DEACTIVATE";
  // The reply buffer lent to the server for read verbs holds this many bytes.
  static constexpr std::size_t kReplyBufferSize = 65000;

  // A client with a file server of its own, made with the group settings of
  // group "1" and initialized with the text "GenClient".
  TGenClient();
  // A client of a server owned elsewhere (not freed by the client).
  explicit TGenClient(TGenServer* shared);
  ~TGenClient();
  TGenClient(const TGenClient&) = delete;
  TGenClient& operator=(const TGenClient&) = delete;

  // Points the client at a server owned elsewhere; its own server is freed.
  void PointAt(TGenServer* server);
  TGenServer* Server() const { return server_; }

  // Runs one command. Mode 0 is the ordinary mode, mode 1 also allows RAW;
  // other modes are refused. The reply starts as the not-available marker
  // and stays so when the command fails. Never raises.
  bool Execute(std::string_view command, std::string& reply, int mode);

  // Stores `value` with a "POINT,STATION.SENSOR,time" command (modes 0 and 1).
  // A value that does not read as a real is stored as missing.
  bool Store(std::string_view command, std::string_view value, int mode);

  // Caching on keeps every reply (but that of FILES) under its command text.
  void SetCaching(bool on);
  bool Caching() const { return cache_ != nullptr; }
  // The reply cache while caching is on, else null.
  TCache* Cache() const { return cache_.get(); }

  const TDataStoreGroupSetup& GroupSettings() const { return settings_; }

 private:
  bool Dispatch(int verb, std::string_view command, int pos, std::string& reply);

  TDataStoreGroupSetup settings_;
  std::unique_ptr<TGenServer> own_;
  TGenServer* server_ = nullptr;
  std::unique_ptr<TCache> cache_;
};

}  // namespace kvq
