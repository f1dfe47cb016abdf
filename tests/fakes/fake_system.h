#pragma once
// A computer described by plain fields that tests set as they need, and constants where no test
// needs another value.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "util/text.h"

namespace orv::test {

class FakeSystem final : public ISystem {
 public:
  OsVersion os{2, 10, 0, 19045, ""};
  std::optional<std::string> computerName = "PC01";
  std::map<std::string, std::string> environment;
  std::map<char, DriveFacts> drives;
  std::optional<std::string> defaultPrinter;
  std::vector<std::string> printers;
  std::map<std::string, int> printerColors;
  std::string imeName;
  uint64_t uptimeMs = 3600000;
  DateTime now{2026, 12, 6, 10, 0, 0, 0};
  std::optional<std::vector<std::string>> processes = std::vector<std::string>{};
  std::optional<bool> administratorsMember;

  std::string ProgramPath() override { return "C:\\tools\\inv\\qumbel.exe"; }
  OsVersion GetOsVersion() override { return os; }
  std::optional<std::string> ComputerName() override { return computerName; }
  std::optional<std::string> UserName() override { return "sato"; }
  std::optional<std::string> NetworkUserName() override { return "sato"; }
  std::optional<std::string> Environment(const std::string& name) override {
    for (const auto& [k, v] : environment)
      if (SameTextIgnoringCase(k, name)) return v;
    return std::nullopt;
  }
  std::optional<std::string> WindowsDirectory() override { return "C:\\Windows"; }
  std::optional<std::string> SystemDirectory() override { return "C:\\Windows\\system32"; }
  std::optional<std::string> DocumentsFolder() override { return "C:\\Users\\sato\\Documents"; }
  MemoryFacts Memory() override { return {8ULL << 30, 9ULL << 30}; }
  DriveFacts Drive(char letter) override { return drives.count(letter) ? drives[letter] : DriveFacts{}; }
  int ScreenWidth() override { return 1920; }
  int ColorBits() override { return 32; }
  std::optional<std::string> DefaultPrinter() override { return defaultPrinter; }
  std::vector<std::string> Printers() override { return printers; }
  std::optional<int> PrinterColor(const std::string& printer) override {
    return printerColors.count(printer) ? std::optional(printerColors[printer]) : std::nullopt;
  }
  std::string DefaultImeName() override { return imeName; }
  uint64_t MillisecondsSinceStart() override { return uptimeMs; }
  DateTime Now() override { return now; }
  std::optional<std::vector<std::string>> RunningProcesses() override { return processes; }
  bool IsWine() override { return false; }
  std::optional<bool> IsAdministratorsMember() override { return administratorsMember; }
};

}  // namespace orv::test
