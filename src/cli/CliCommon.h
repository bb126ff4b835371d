// Shared pieces of the kvq command-line tool.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/Directive.h"

class QCoreApplication;

namespace kvq {
class TFileServer;
}

namespace kvq::cli {

// Command-line words after the command name.
using Args = std::vector<std::string>;

// Exit codes: 0 success, 1 the operation failed, 2 the command line is wrong.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints "kvq: " + text to stderr and returns kExitUsage.
int UsageError(const std::string& text);

// Takes "--now TEXT" out of args when present and pins the clock to it.
// False (with a message) when the text is not "MM/DD/YYYY HH:MM:SS".
bool TakeNowOption(Args& args);

// Takes "NAME VALUE" out of args; true when present. Fails (value empty and
// `missing` set) when NAME is the last word.
bool TakeOption(Args& args, const std::string& name, std::string& value, bool& missing);
bool TakeFlag(Args& args, const std::string& name);

// A file server over DIR, whose file list is every ".DAT" file there (any
// letter case), or over nothing when DIR is empty; its messages go to stderr
// (with `quiet`, only its warnings and errors).
std::unique_ptr<TFileServer> MakeFolderServer(const std::string& dir, bool quiet = false);

// Qt's SQL drivers need an application object; commands that reach a
// database make one (null when one exists already).
std::unique_ptr<QCoreApplication> MakeQtCore();

// Takes "--aliases FILE" out of args and points the alias catalogue at it.
bool TakeAliasesOption(Args& args);

int CmdTime(Args args);
int CmdCmd(Args args);
int CmdPut(Args args);
int CmdDemoFiles(Args args);
int CmdDb(Args args);
int CmdValues(Args args);
int CmdStats(Args args);
int CmdDemo(Args args);

}  // namespace kvq::cli
