#pragma once
// Fault injection: wrappers around the platform interfaces that pass every call on to another
// implementation (usually the fakes) and fail the calls a FaultPlan picks. One plan counts the
// calls of all wrappers together, so that a test can count the calls of an operation once and then
// fail each of them in turn. A failed call has no effect and answers what its interface documents
// for a failure (FailedAnswer).

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

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
  void FailCall(long n) { failAt_ = n, failFrom_ = false; }
  // Fails call number `n` and every later one: the share went away, the disk is full.
  void FailFrom(long n) { failAt_ = n, failFrom_ = true; }
  // Counts a call named `what`; true when it is to fail.
  bool Fail(std::string_view what) {
    const bool fail = ++calls_ == failAt_ || (failFrom_ && failAt_ > 0 && calls_ > failAt_);
    if (fail && failed_.empty()) failed_ = std::to_string(calls_) + ": " + std::string(what);
    return fail;
  }
  long Calls() const { return calls_; }
  // "<n>: <name>" of the first call that failed; empty when none did.
  const std::string& FirstFailure() const { return failed_; }

 private:
  long failAt_ = 0, calls_ = 0;
  bool failFrom_ = false;
  std::string failed_;
};

// The failure value of each result type: empty, false, 0 or nullptr, except where an interface
// reports a failure with a status. Devices report ERROR_IO_DEVICE (a failed I/O control leaves the
// output buffer as the caller handed it in, as a driver that gives up does).
template <typename R>
R FailedAnswer() {
  if constexpr (std::is_same_v<R, ShareEnumResult>) return {ShareEnumResult::Status::OpenError, 53, {}};
  else if constexpr (std::is_same_v<R, DialUpList>) return {DialUpList::Status::EnumFailed, {}};
  else if constexpr (std::is_same_v<R, SmartIoStatus>) return {false, kErrorIoDevice, 0};
  else if constexpr (std::is_same_v<R, SmartOpenResult>) return {nullptr, kErrorIoDevice};
  else return R{};
}

// The wrapper of interface I around `inner`, or around an object it owns (a key, a device handle)
// named `name`. Pass counts the call `what` and either fails it or passes it on.
template <typename I>
class Failing : public I {
 public:
  Failing(I& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  Failing(std::unique_ptr<I> owned, FaultPlan& plan, std::string name)
      : owned_(std::move(owned)), inner_(*owned_), plan_(plan), name_(std::move(name)) {}

 protected:
  template <typename R, typename... P, typename... A>
  R Pass(const std::string& what, R (I::*call)(P...), A&&... args) {
    if (plan_.Fail(what)) return FailedAnswer<R>();
    return (inner_.*call)(std::forward<A>(args)...);
  }
  std::unique_ptr<I> owned_;
  I& inner_;
  FaultPlan& plan_;
  std::string name_;
};

// Short names for the signatures below.
using Str = const std::string&;
using Text = std::optional<std::string>;
using Names = std::vector<std::string>;
using Instances = std::optional<std::vector<WmiInstance>>;

class FailingRegistryKey final : public Failing<IRegistryKey> {
 public:
  using Failing::Failing;
  using K = IRegistryKey;
  Names SubKeyNames() override { return Pass("SubKeyNames " + name_, &K::SubKeyNames); }
  Names ValueNames() override { return Pass("ValueNames " + name_, &K::ValueNames); }
  bool QueryValue(std::string_view v, RegValue& out) override {
    return Pass("QueryValue " + name_ + " " + std::string(v), &K::QueryValue, v, out);
  }
};

class FailingRegistry final : public Failing<IRegistry> {
 public:
  using Failing::Failing;
  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, std::string_view path, RegView view) override {
    auto key = Pass("OpenKey " + std::string(path), &IRegistry::OpenKey, root, path, view);
    return key ? std::make_unique<FailingRegistryKey>(std::move(key), plan_, std::string(path)) : nullptr;
  }
};

class FailingWmi final : public Failing<IWmi> {
 public:
  using Failing::Failing;
  Instances ExecQuery(Str wql) override { return Pass("wmi " + wql, &IWmi::ExecQuery, wql); }
  Instances InstancesOf(Str name) override { return Pass("wmi instances " + name, &IWmi::InstancesOf, name); }
};

class FailingSmartHandle final : public Failing<ISmartHandle> {
 public:
  using Failing::Failing;
  SmartIoStatus IoControl(uint32_t code, std::string_view in, std::string& out) override {
    return Pass("IoControl " + name_ + " " + std::to_string(code), &ISmartHandle::IoControl, code, in, out);
  }
};

class FailingSmartDevice final : public Failing<ISmartDevice> {
 public:
  using Failing::Failing;
  SmartOpenResult Open(Str path, uint32_t access, uint32_t share, uint32_t disposition) override {
    SmartOpenResult r = Pass("SmartOpen " + path, &ISmartDevice::Open, path, access, share, disposition);
    if (r.handle) r.handle = std::make_unique<FailingSmartHandle>(std::move(r.handle), plan_, path);
    return r;
  }
  std::string ErrorText(uint32_t code) override { return inner_.ErrorText(code); }
};

// The system calls. The version query, the clock and the tick count are passed on unfailed: the
// Windows calls behind them cannot fail.
class FailingSystem final : public Failing<ISystem> {
 public:
  using Failing::Failing;
  using S = ISystem;
  std::string ProgramPath() override { return Pass("ProgramPath", &S::ProgramPath); }
  OsVersion GetOsVersion() override { return inner_.GetOsVersion(); }
  Text ComputerName() override { return Pass("ComputerName", &S::ComputerName); }
  Text UserName() override { return Pass("UserName", &S::UserName); }
  Text NetworkUserName() override { return Pass("NetworkUserName", &S::NetworkUserName); }
  Text Environment(Str name) override { return Pass("Environment " + name, &S::Environment, name); }
  Text WindowsDirectory() override { return Pass("WindowsDirectory", &S::WindowsDirectory); }
  Text SystemDirectory() override { return Pass("SystemDirectory", &S::SystemDirectory); }
  Text DocumentsFolder() override { return Pass("DocumentsFolder", &S::DocumentsFolder); }
  MemoryFacts Memory() override { return Pass("Memory", &S::Memory); }
  DriveFacts Drive(char letter) override { return Pass(std::string("Drive ") + letter, &S::Drive, letter); }
  int ScreenWidth() override { return Pass("ScreenWidth", &S::ScreenWidth); }
  int ColorBits() override { return Pass("ColorBits", &S::ColorBits); }
  Text DefaultPrinter() override { return Pass("DefaultPrinter", &S::DefaultPrinter); }
  Names Printers() override { return Pass("Printers", &S::Printers); }
  std::optional<int> PrinterColor(Str p) override { return Pass("PrinterColor " + p, &S::PrinterColor, p); }
  std::string DefaultImeName() override { return Pass("DefaultImeName", &S::DefaultImeName); }
  uint64_t MillisecondsSinceStart() override { return inner_.MillisecondsSinceStart(); }
  DateTime Now() override { return inner_.Now(); }
  std::optional<Names> RunningProcesses() override { return Pass("RunningProcesses", &S::RunningProcesses); }
  bool IsWine() override { return Pass("IsWine", &S::IsWine); }
  std::optional<bool> IsAdministratorsMember() override {
    return Pass("IsAdmins", &S::IsAdministratorsMember);
  }
};

class FailingNetwork final : public Failing<INetwork> {
 public:
  using Failing::Failing;
  using N = INetwork;
  Text WorkgroupName() override { return Pass("WorkgroupName", &N::WorkgroupName); }
  std::optional<bool> IsDomainMember() override { return Pass("IsDomainMember", &N::IsDomainMember); }
  std::optional<DateTime> ServerTime(Str s) override { return Pass("ServerTime " + s, &N::ServerTime, s); }
  Text HostName() override { return Pass("HostName", &N::HostName); }
  HostLookup ResolveHost(Str n) override { return Pass("ResolveHost " + n, &N::ResolveHost, n); }
  ShareEnumResult EnumShares(Str c, Str p) override { return Pass("EnumShares " + c, &N::EnumShares, c, p); }
  DialUpList DialUpEntries() override { return Pass("DialUpEntries", &N::DialUpEntries); }
};

// Files. A failed whole-file write leaves the target as it was (the replace never happened) and a
// failed append adds nothing; both give the reason as the interface documents.
class FailingFiles final : public Failing<IFiles> {
 public:
  using Failing::Failing;
  using F = IFiles;
  bool FileExists(Str p) override { return Pass("FileExists " + p, &F::FileExists, p); }
  bool DirectoryExists(Str p) override { return Pass("DirectoryExists " + p, &F::DirectoryExists, p); }
  bool CreateDirectory(Str p) override { return Pass("CreateDirectory " + p, &F::CreateDirectory, p); }
  Text ReadFile(Str p) override { return Pass("ReadFile " + p, &F::ReadFile, p); }
  bool WriteFileAtomic(Str path, std::string_view bytes, std::string* error = nullptr) override {
    return Write("WriteFileAtomic ", &F::WriteFileAtomic, path, bytes, error);
  }
  bool AppendToFile(Str path, std::string_view bytes, std::string* error = nullptr) override {
    return Write("AppendToFile ", &F::AppendToFile, path, bytes, error);
  }
  bool RemoveFile(Str p) override { return Pass("RemoveFile " + p, &F::RemoveFile, p); }
  std::optional<Names> ListFiles(Str f, Str pat) override {
    return Pass("ListFiles " + f, &F::ListFiles, f, pat);
  }
  std::optional<int64_t> FileSize(Str p) override { return Pass("FileSize " + p, &F::FileSize, p); }
  std::optional<DateTime> LastWriteTime(Str p) override {
    return Pass("LastWriteTime " + p, &F::LastWriteTime, p);
  }

 private:
  using WriteCall = bool (F::*)(Str, std::string_view, std::string*);
  bool Write(const char* what, WriteCall call, Str path, std::string_view bytes, std::string* error) {
    if (!plan_.Fail(what + path)) return (inner_.*call)(path, bytes, error);
    if (error) *error = path + ": injected failure";
    return false;
  }
};

class FailingShell final : public Failing<IShell> {
 public:
  using Failing::Failing;
  bool StartProcess(Str a, Str line) override {
    return Pass("StartProcess " + a, &IShell::StartProcess, a, line);
  }
  bool OpenDocument(Str p) override { return Pass("OpenDocument " + p, &IShell::OpenDocument, p); }
  std::optional<bool> IsUserAnAdmin() override { return Pass("IsUserAnAdmin", &IShell::IsUserAnAdmin); }
};

class FailingVersionInfo final : public Failing<IVersionInfo> {
 public:
  using Failing::Failing;
  std::unique_ptr<IVersionResource> Open(Str p) override {
    return Pass("VersionInfo " + p, &IVersionInfo::Open, p);
  }
};

// Every service of `base` behind a failing wrapper that follows `plan`; codec and dialogs are
// passed on as they are (they have no failures of their own), and so is the processor.
struct FailingPlatform {
  FailingPlatform(const Platform& base, FaultPlan& plan)
      : registry(base.registry, plan), files(base.files, plan), shell(base.shell, plan), versions(base.versions, plan),
        system(base.system, plan), network(base.network, plan),
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
