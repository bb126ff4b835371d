// Fuzz targets keep the store's message boxes quiet and bound file sizes, so
// that a command asking for a huge file fails instead of filling the disk.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include "foundation/Messages.h"

class QuietSink : public kvq::TMessageSink {
 public:
  void Show(kvq::MessageKind, std::string_view) override {}
  bool Ask(std::string_view) override { return false; }
};

inline void FuzzSetupOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  static QuietSink sink;
  kvq::SetMessageSink(&sink);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit {64u << 20, 64u << 20};
  setrlimit(RLIMIT_FSIZE, &limit);
}
