#include "data/AppPaths.h"

#include <cstdlib>

namespace kvq {

namespace {

std::string& OverridePath() {
  static std::string path;
  return path;
}

std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value) return std::string(value) + "/KVQuillon";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + fallback + "/KVQuillon";
}

}  // namespace

std::string ConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string MainSettingsPath() {
  return OverridePath().empty() ? ConfigFolder() + "/KVQuillon.KFG" : OverridePath();
}

void SetMainSettingsPath(const std::string& path) { OverridePath() = path; }

std::string DataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

}  // namespace kvq
