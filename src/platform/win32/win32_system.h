#pragma once
// Facts about this computer from plain Win32 calls (kernel32, advapi32, mpr, shell32, gdi32,
// winspool, imm32, toolhelp).

#include "platform/system.h"

namespace orv {

class Win32System final : public ISystem {
 public:
  std::string ProgramPath() override;
  OsVersion GetOsVersion() override;
  std::optional<std::string> ComputerName() override;
  std::optional<std::string> UserName() override;
  std::optional<std::string> NetworkUserName() override;
  std::optional<std::string> Environment(const std::string& name) override;
  std::optional<std::string> WindowsDirectory() override;
  std::optional<std::string> SystemDirectory() override;
  std::optional<std::string> DocumentsFolder() override;
  MemoryFacts Memory() override;
  DriveFacts Drive(char letter) override;
  int ScreenWidth() override;
  int ColorBits() override;
  std::optional<std::string> DefaultPrinter() override;
  std::vector<std::string> Printers() override;
  std::optional<int> PrinterColor(const std::string& printer) override;
  std::string DefaultImeName() override;
  uint64_t MillisecondsSinceStart() override;
  DateTime Now() override;
  std::optional<std::vector<std::string>> RunningProcesses() override;
  bool IsWine() override;
  std::optional<bool> IsAdministratorsMember() override;
};

}  // namespace orv
