// Where KV Quillon keeps its files on this system.
#pragma once

#include <string>

namespace kvq {

// $XDG_CONFIG_HOME/KVQuillon (XDG_CONFIG_HOME defaulting to ~/.config).
std::string ConfigFolder();

// The main settings file: the one set by SetMainSettingsPath (the program's
// and kvq's --settings FILE), else ConfigFolder()/KVQuillon.KFG.
std::string MainSettingsPath();
void SetMainSettingsPath(const std::string& path);

// $XDG_DATA_HOME/KVQuillon (XDG_DATA_HOME defaulting to ~/.local/share): the
// import log and the demo sources live here.
std::string DataFolder();

}  // namespace kvq
