// Shared pieces of the kvq command-line tool.
#pragma once

#include <string>
#include <vector>

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

int CmdTime(Args args);
int CmdCmd(Args args);
int CmdPut(Args args);
int CmdDemoFiles(Args args);
int CmdDb(Args args);

}  // namespace kvq::cli
