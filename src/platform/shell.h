#pragma once
// Starting other programs and asking the shell.

#include <optional>
#include <string>

namespace orv {

class IShell {
 public:
  virtual ~IShell() = default;
  // Starts `application` with the full `commandLine` (which repeats the quoted application path as
  // its first word) and does not wait. True when the process was created.
  virtual bool StartProcess(const std::string& application, const std::string& commandLine) = 0;
  // Asks the shell to "Open" a document with the main window as owner. True when the shell accepted.
  virtual bool OpenDocument(const std::string& path) = 0;
  // The shell's administrator query (shell32 ordinal 680, IsUserAnAdmin); nullopt when the export
  // is missing.
  virtual std::optional<bool> IsUserAnAdmin() = 0;
};

}  // namespace orv
