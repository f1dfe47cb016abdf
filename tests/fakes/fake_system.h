#pragma once
// A computer described by plain fields; tests set what they need.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "util/text.h"

namespace orv::test {

class FakeSystem final : public ISystem {
 public:
  std::string programPath = "C:\\tools\\inv\\qumbel.exe";
  OsVersion os{2, 10, 0, 19045, ""};
  std::optional<std::string> computerName = "PC01";
  std::optional<std::string> userName = "sato";
  std::optional<std::string> networkUserName = "sato";
  std::map<std::string, std::string> environment;
  std::optional<std::string> windowsDirectory = "C:\\Windows";
  std::optional<std::string> systemDirectory = "C:\\Windows\\system32";
  std::optional<std::string> documentsFolder = "C:\\Users\\sato\\Documents";
  MemoryFacts memory{8ULL << 30, 9ULL << 30};
  std::map<char, DriveFacts> drives;
  int screenWidth = 1920, colorBits = 32;
  std::optional<std::string> defaultPrinter;
  std::vector<std::string> printers;
  std::map<std::string, int> printerColors;
  std::string imeName;
  uint64_t uptimeMs = 3600000;
  DateTime now{2026, 12, 6, 10, 0, 0, 0};
  std::optional<std::vector<std::string>> processes = std::vector<std::string>{};
  bool wine = false;
  std::optional<bool> administratorsMember;

  std::string ProgramPath() override { return programPath; }
  OsVersion GetOsVersion() override { return os; }
  std::optional<std::string> ComputerName() override { return computerName; }
  std::optional<std::string> UserName() override { return userName; }
  std::optional<std::string> NetworkUserName() override { return networkUserName; }
  std::optional<std::string> Environment(const std::string& name) override {
    for (const auto& [k, v] : environment)
      if (SameTextIgnoringCase(k, name)) return v;
    return std::nullopt;
  }
  std::optional<std::string> WindowsDirectory() override { return windowsDirectory; }
  std::optional<std::string> SystemDirectory() override { return systemDirectory; }
  std::optional<std::string> DocumentsFolder() override { return documentsFolder; }
  MemoryFacts Memory() override { return memory; }
  DriveFacts Drive(char letter) override { return drives.count(letter) ? drives[letter] : DriveFacts{}; }
  int ScreenWidth() override { return screenWidth; }
  int ColorBits() override { return colorBits; }
  std::optional<std::string> DefaultPrinter() override { return defaultPrinter; }
  std::vector<std::string> Printers() override { return printers; }
  std::optional<int> PrinterColor(const std::string& printer) override {
    return printerColors.count(printer) ? std::optional(printerColors[printer]) : std::nullopt;
  }
  std::string DefaultImeName() override { return imeName; }
  uint64_t MillisecondsSinceStart() override { return uptimeMs; }
  DateTime Now() override { return now; }
  std::optional<std::vector<std::string>> RunningProcesses() override { return processes; }
  bool IsWine() override { return wine; }
  std::optional<bool> IsAdministratorsMember() override { return administratorsMember; }
};

}  // namespace orv::test
