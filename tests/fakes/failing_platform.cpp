#include "fakes/failing_platform.h"

namespace orv::test {

namespace {

class FailingRegistryKey final : public IRegistryKey {
 public:
  FailingRegistryKey(std::unique_ptr<IRegistryKey> inner, FaultPlan& plan, std::string path)
      : inner_(std::move(inner)), plan_(plan), path_(std::move(path)) {}
  std::vector<std::string> SubKeyNames() override {
    return plan_.Fail("SubKeyNames " + path_) ? std::vector<std::string>{} : inner_->SubKeyNames();
  }
  std::vector<std::string> ValueNames() override {
    return plan_.Fail("ValueNames " + path_) ? std::vector<std::string>{} : inner_->ValueNames();
  }
  bool QueryValue(std::string_view name, RegValue& out) override {
    return !plan_.Fail("QueryValue " + path_ + " " + std::string(name)) && inner_->QueryValue(name, out);
  }

 private:
  std::unique_ptr<IRegistryKey> inner_;
  FaultPlan& plan_;
  std::string path_;
};

class FailingSmartHandle final : public ISmartHandle {
 public:
  FailingSmartHandle(std::unique_ptr<ISmartHandle> inner, FaultPlan& plan, std::string path)
      : inner_(std::move(inner)), plan_(plan), path_(std::move(path)) {}
  SmartIoStatus IoControl(uint32_t controlCode, std::string_view input, std::string& output) override {
    if (plan_.Fail("IoControl " + path_ + " " + std::to_string(controlCode))) return SmartIoStatus{false, kErrorIoDevice, 0};
    return inner_->IoControl(controlCode, input, output);
  }

 private:
  std::unique_ptr<ISmartHandle> inner_;
  FaultPlan& plan_;
  std::string path_;
};

}  // namespace

std::unique_ptr<IRegistryKey> FailingRegistry::OpenKey(RegRoot root, std::string_view path, RegView view) {
  if (plan_.Fail("OpenKey " + std::string(path))) return nullptr;
  std::unique_ptr<IRegistryKey> key = inner_.OpenKey(root, path, view);
  if (!key) return nullptr;
  return std::make_unique<FailingRegistryKey>(std::move(key), plan_, std::string(path));
}

SmartOpenResult FailingSmartDevice::Open(const std::string& path, uint32_t access, uint32_t shareMode,
                                         uint32_t disposition) {
  if (plan_.Fail("SmartOpen " + path)) return SmartOpenResult{nullptr, kErrorIoDevice};
  SmartOpenResult r = inner_.Open(path, access, shareMode, disposition);
  if (r.handle) r.handle = std::make_unique<FailingSmartHandle>(std::move(r.handle), plan_, path);
  return r;
}

}  // namespace orv::test
