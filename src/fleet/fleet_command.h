#pragma once
// The command line of qumbel-fleet, the fleet table builder for a file server or a scheduled
// task: `qumbel-fleet [folder]` builds the tables of `folder` (default: the current folder) as
// the menu command OneSheet1 does for the program's folder; `qumbel-fleet --report [folder]`
// writes the disk health report "report.html" there instead. Kept apart from main() so that its
// arguments, messages and exit codes are tested natively.

#include <string>
#include <vector>

#include "platform/clock.h"

namespace orv {

class IFiles;
class ITableFiles;
class ITextCodec;

// Exit codes of qumbel-fleet.
inline constexpr int kFleetExitDone = 0;    // both tables (or the report) written; also after the usage text on request
inline constexpr int kFleetExitFailed = 1;  // a file could not be read or a table (the report) not written
inline constexpr int kFleetExitUsage = 2;   // wrong arguments, or no such folder

struct FleetCommandOutcome {
  int exitCode = kFleetExitDone;
  std::string message;   // one or more lines, without a final line end
  bool isError = false;  // true: for the error stream
};

// `args` are the arguments after the program's name, as UTF-8; `now` is the local time, the
// report's date.
FleetCommandOutcome RunFleetCommand(const std::vector<std::string>& args, IFiles& files,
                                    const ITextCodec& codec, ITableFiles& tables, const DateTime& now);

}  // namespace orv
