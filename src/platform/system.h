#pragma once
// Facts about this computer that come from plain system calls. Every method returns its documented
// "no value" (nullopt, empty, 0) when the platform call fails; none throws.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace orv {

struct OsVersion {
  uint32_t platformId = 2;  // 1 = Windows 9x family, 2 = NT family
  uint32_t major = 0, minor = 0, build = 0;
  std::string servicePack;
};

struct MemoryFacts {
  uint64_t totalPhysical = 0;  // bytes
  uint64_t totalPageFile = 0;  // bytes
};

struct DriveFacts {
  unsigned driveType = 0;  // GetDriveType: 3 = fixed disk
  std::string fileSystem;  // empty when the volume information cannot be read
  bool sizeKnown = false;
  uint64_t totalBytes = 0, freeBytes = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // Full path of the running program file ("C:\tools\qumbel.exe").
  virtual std::string ProgramPath() = 0;
  virtual OsVersion GetOsVersion() = 0;
  // The computer name; nullopt when the call fails.
  virtual std::optional<std::string> ComputerName() = 0;
  // The logged-on user's name, whole (up to the platform's maximum user-name length).
  virtual std::optional<std::string> UserName() = 0;
  // The network user name (WNetGetUser with no resource).
  virtual std::optional<std::string> NetworkUserName() = 0;
  // An environment variable's whole value; nullopt when it is not set.
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
  // GetWindowsDirectory (without a trailing backslash), GetSystemDirectory, the user's documents.
  virtual std::optional<std::string> WindowsDirectory() = 0;
  virtual std::optional<std::string> SystemDirectory() = 0;
  virtual std::optional<std::string> DocumentsFolder() = 0;
  virtual MemoryFacts Memory() = 0;
  // Drive 'C' ...: type, file system, size and free space.
  virtual DriveFacts Drive(char letter) = 0;
  // The primary screen's width in physical pixels, also when the display is scaled (a
  // 1920-pixel screen at 125 % is 1920, not the 1536 a program unaware of scaling is told).
  virtual int ScreenWidth() = 0;
  // Bits per pixel x colour planes of the screen.
  virtual int ColorBits() = 0;
  // The default printer's name; nullopt when there is none or on failure.
  virtual std::optional<std::string> DefaultPrinter() = 0;
  // Installed printers' names as the platform lists them (local and connected).
  virtual std::vector<std::string> Printers() = 0;
  // dmColor of the printer's device mode; nullopt on failure.
  virtual std::optional<int> PrinterColor(const std::string& printer) = 0;
  // The name of the default input method ("" when there is none).
  virtual std::string DefaultImeName() = 0;
  // Milliseconds since the system started.
  virtual uint64_t MillisecondsSinceStart() = 0;
  virtual DateTime Now() = 0;
  // Executable file names of all processes in snapshot order (may include folders); nullopt when
  // the snapshot fails.
  virtual std::optional<std::vector<std::string>> RunningProcesses() = 0;
  // True when the program runs under Wine rather than on Windows.
  virtual bool IsWine() = 0;
  // Whether the user belongs to the local Administrators group, also when UAC runs the program
  // with the filtered token (the linked full token is asked); nullopt when the token cannot be
  // read. Not a right to do anything: the filtered token still cannot.
  virtual std::optional<bool> IsAdministratorsMember() { return std::nullopt; }
};

}  // namespace orv
