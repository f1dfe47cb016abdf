#pragma once
// Fault injection: wrappers around the platform interfaces that pass every call on to another
// implementation (usually the fakes) and fail the calls a FaultPlan picks. One plan counts the
// calls of all wrappers together, so that a test can count the calls of an operation once and then
// fail each of them in turn. A failed call returns what its interface documents for a failure
// (nullopt, empty, false, 0, nullptr) and has no effect.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/smart_device.h"
#include "platform/system.h"
#include "platform/version_info.h"
#include "platform/wmi.h"

namespace orv::test {

class FaultPlan {
 public:
  // Fails call number `n` (counted from 1) and no other; 0 fails none.
  void FailCall(long n) {
    failAt_ = n;
    failFrom_ = false;
  }
  // Fails call number `n` and every later one: the share went away, the disk is full.
  void FailFrom(long n) {
    failAt_ = n;
    failFrom_ = true;
  }
  // Counts a call named `what`; true when it is to fail.
  bool Fail(std::string_view what) {
    calls_.emplace_back(what);
    const long n = static_cast<long>(calls_.size());
    const bool fail = failAt_ > 0 && (n == failAt_ || (failFrom_ && n > failAt_));
    if (fail && failed_.empty()) failed_ = std::to_string(n) + ": " + std::string(what);
    return fail;
  }
  long Calls() const { return static_cast<long>(calls_.size()); }
  // "<n>: <name>" of the first call that failed; empty when none did.
  const std::string& FirstFailure() const { return failed_; }

 private:
  long failAt_ = 0;
  bool failFrom_ = false;
  std::vector<std::string> calls_;
  std::string failed_;
};

class FailingRegistry final : public IRegistry {
 public:
  FailingRegistry(IRegistry& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, std::string_view path, RegView view) override;

 private:
  IRegistry& inner_;
  FaultPlan& plan_;
};

class FailingWmi final : public IWmi {
 public:
  FailingWmi(IWmi& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) override {
    if (plan_.Fail("wmi " + wql)) return std::nullopt;
    return inner_.ExecQuery(wql);
  }
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) override {
    if (plan_.Fail("wmi instances " + className)) return std::nullopt;
    return inner_.InstancesOf(className);
  }

 private:
  IWmi& inner_;
  FaultPlan& plan_;
};

// A failed open reports ERROR_IO_DEVICE; a failed I/O control leaves the output buffer as the
// caller handed it in and reports ERROR_IO_DEVICE, as a driver that gives up does.
class FailingSmartDevice final : public ISmartDevice {
 public:
  FailingSmartDevice(ISmartDevice& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode, uint32_t disposition) override;
  std::string ErrorText(uint32_t code) override { return inner_.ErrorText(code); }

 private:
  ISmartDevice& inner_;
  FaultPlan& plan_;
};

// The system calls. The version query, the clock and the tick count are passed on unfailed: the
// Windows calls behind them cannot fail.
class FailingSystem final : public ISystem {
 public:
  FailingSystem(ISystem& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::string ProgramPath() override { return plan_.Fail("ProgramPath") ? std::string() : inner_.ProgramPath(); }
  OsVersion GetOsVersion() override { return inner_.GetOsVersion(); }
  std::optional<std::string> ComputerName() override { return Opt("ComputerName", &ISystem::ComputerName); }
  std::optional<std::string> UserName() override { return Opt("UserName", &ISystem::UserName); }
  std::optional<std::string> NetworkUserName() override { return Opt("NetworkUserName", &ISystem::NetworkUserName); }
  std::optional<std::string> Environment(const std::string& name) override {
    if (plan_.Fail("Environment " + name)) return std::nullopt;
    return inner_.Environment(name);
  }
  std::optional<std::string> WindowsDirectory() override { return Opt("WindowsDirectory", &ISystem::WindowsDirectory); }
  std::optional<std::string> SystemDirectory() override { return Opt("SystemDirectory", &ISystem::SystemDirectory); }
  std::optional<std::string> DocumentsFolder() override { return Opt("DocumentsFolder", &ISystem::DocumentsFolder); }
  MemoryFacts Memory() override { return plan_.Fail("Memory") ? MemoryFacts{0, 0} : inner_.Memory(); }
  DriveFacts Drive(char letter) override {
    return plan_.Fail(std::string("Drive ") + letter) ? DriveFacts{} : inner_.Drive(letter);
  }
  int ScreenWidth() override { return plan_.Fail("ScreenWidth") ? 0 : inner_.ScreenWidth(); }
  int ColorBits() override { return plan_.Fail("ColorBits") ? 0 : inner_.ColorBits(); }
  std::optional<std::string> DefaultPrinter() override { return Opt("DefaultPrinter", &ISystem::DefaultPrinter); }
  std::vector<std::string> Printers() override {
    return plan_.Fail("Printers") ? std::vector<std::string>{} : inner_.Printers();
  }
  std::optional<int> PrinterColor(const std::string& printer) override {
    if (plan_.Fail("PrinterColor " + printer)) return std::nullopt;
    return inner_.PrinterColor(printer);
  }
  std::string DefaultImeName() override { return plan_.Fail("DefaultImeName") ? std::string() : inner_.DefaultImeName(); }
  uint64_t MillisecondsSinceStart() override { return inner_.MillisecondsSinceStart(); }
  DateTime Now() override { return inner_.Now(); }
  std::optional<std::vector<std::string>> RunningProcesses() override {
    if (plan_.Fail("RunningProcesses")) return std::nullopt;
    return inner_.RunningProcesses();
  }
  bool IsWine() override { return plan_.Fail("IsWine") ? false : inner_.IsWine(); }
  std::optional<bool> IsAdministratorsMember() override {
    return Opt("IsAdministratorsMember", &ISystem::IsAdministratorsMember);
  }

 private:
  template <typename T>
  std::optional<T> Opt(const char* what, std::optional<T> (ISystem::*call)()) {
    if (plan_.Fail(what)) return std::nullopt;
    return (inner_.*call)();
  }
  ISystem& inner_;
  FaultPlan& plan_;
};

class FailingNetwork final : public INetwork {
 public:
  FailingNetwork(INetwork& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::optional<std::string> WorkgroupName() override {
    if (plan_.Fail("WorkgroupName")) return std::nullopt;
    return inner_.WorkgroupName();
  }
  std::optional<bool> IsDomainMember() override {
    if (plan_.Fail("IsDomainMember")) return std::nullopt;
    return inner_.IsDomainMember();
  }
  std::optional<DateTime> ServerTime(const std::string& server) override {
    if (plan_.Fail("ServerTime " + server)) return std::nullopt;
    return inner_.ServerTime(server);
  }
  std::optional<std::string> HostName() override {
    if (plan_.Fail("HostName")) return std::nullopt;
    return inner_.HostName();
  }
  HostLookup ResolveHost(const std::string& name) override {
    if (plan_.Fail("ResolveHost " + name)) return HostLookup{HostLookup::Status::NotFound, {0, 0, 0, 0}};
    return inner_.ResolveHost(name);
  }
  ShareEnumResult EnumShares(const std::string& container, const std::string& provider) override {
    if (plan_.Fail("EnumShares " + container)) return ShareEnumResult{ShareEnumResult::Status::OpenError, 53, {}};
    return inner_.EnumShares(container, provider);
  }
  DialUpList DialUpEntries() override {
    if (plan_.Fail("DialUpEntries")) return DialUpList{DialUpList::Status::EnumFailed, {}};
    return inner_.DialUpEntries();
  }

 private:
  INetwork& inner_;
  FaultPlan& plan_;
};

// Files. A failed whole-file write leaves the target as it was (the replace never happened); a
// failed append adds nothing.
class FailingFiles final : public IFiles {
 public:
  FailingFiles(IFiles& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  bool FileExists(const std::string& path) override { return !plan_.Fail("FileExists " + path) && inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override {
    return !plan_.Fail("DirectoryExists " + path) && inner_.DirectoryExists(path);
  }
  bool CreateDirectory(const std::string& path) override {
    return !plan_.Fail("CreateDirectory " + path) && inner_.CreateDirectory(path);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    if (plan_.Fail("ReadFile " + path)) return std::nullopt;
    return inner_.ReadFile(path);
  }
  bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr) override {
    if (plan_.Fail("WriteFileAtomic " + path)) {
      if (error) *error = path + ": injected failure";
      return false;
    }
    return inner_.WriteFileAtomic(path, bytes, error);
  }
  bool AppendToFile(const std::string& path, std::string_view bytes, std::string* error = nullptr) override {
    if (plan_.Fail("AppendToFile " + path)) {
      if (error) *error = path + ": injected failure";
      return false;
    }
    return inner_.AppendToFile(path, bytes, error);
  }
  bool RemoveFile(const std::string& path) override { return !plan_.Fail("RemoveFile " + path) && inner_.RemoveFile(path); }
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override {
    if (plan_.Fail("ListFiles " + folder)) return std::nullopt;
    return inner_.ListFiles(folder, pattern);
  }
  std::optional<int64_t> FileSize(const std::string& path) override {
    if (plan_.Fail("FileSize " + path)) return std::nullopt;
    return inner_.FileSize(path);
  }
  std::optional<DateTime> LastWriteTime(const std::string& path) override {
    if (plan_.Fail("LastWriteTime " + path)) return std::nullopt;
    return inner_.LastWriteTime(path);
  }

 private:
  IFiles& inner_;
  FaultPlan& plan_;
};

class FailingShell final : public IShell {
 public:
  FailingShell(IShell& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  bool StartProcess(const std::string& application, const std::string& commandLine) override {
    return !plan_.Fail("StartProcess " + application) && inner_.StartProcess(application, commandLine);
  }
  bool OpenDocument(const std::string& path) override {
    return !plan_.Fail("OpenDocument " + path) && inner_.OpenDocument(path);
  }
  std::optional<bool> IsUserAnAdmin() override {
    if (plan_.Fail("IsUserAnAdmin")) return std::nullopt;
    return inner_.IsUserAnAdmin();
  }

 private:
  IShell& inner_;
  FaultPlan& plan_;
};

class FailingVersionInfo final : public IVersionInfo {
 public:
  FailingVersionInfo(IVersionInfo& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::unique_ptr<IVersionResource> Open(const std::string& path) override {
    if (plan_.Fail("VersionInfo " + path)) return nullptr;
    return inner_.Open(path);
  }

 private:
  IVersionInfo& inner_;
  FaultPlan& plan_;
};

// Every service of `base` behind a failing wrapper that follows `plan`; codec and dialogs are
// passed on as they are (they have no failures of their own), and so is the processor.
struct FailingPlatform {
  FailingPlatform(const Platform& base, FaultPlan& plan)
      : registry(base.registry, plan),
        files(base.files, plan),
        shell(base.shell, plan),
        versions(base.versions, plan),
        system(base.system, plan),
        network(base.network, plan),
        wmi(base.wmi ? std::make_unique<FailingWmi>(*base.wmi, plan) : nullptr),
        smart(base.smart ? std::make_unique<FailingSmartDevice>(*base.smart, plan) : nullptr),
        platform{registry, base.codec, files, base.dialogs, shell, versions, system, network,
                 wmi.get(), base.cpu, smart.get()} {}

  FailingRegistry registry;
  FailingFiles files;
  FailingShell shell;
  FailingVersionInfo versions;
  FailingSystem system;
  FailingNetwork network;
  std::unique_ptr<FailingWmi> wmi;
  std::unique_ptr<FailingSmartDevice> smart;
  Platform platform;
};

}  // namespace orv::test
