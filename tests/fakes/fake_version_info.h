#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/version_info.h"
#include "util/text.h"

namespace orv::test {

class FakeVersionInfo final : public IVersionInfo {
 public:
  struct Resource {
    std::vector<std::string> translations;
    std::map<std::string, std::string> strings;  // sub-block ("\StringFileInfo\041104B0\ProductVersion") -> text
  };
  std::map<std::string, Resource> files;  // lower-case path -> resource

  std::unique_ptr<IVersionResource> Open(const std::string& path) override {
    auto it = files.find(LowerCase(path));
    if (it == files.end()) return nullptr;
    return std::make_unique<FakeResource>(it->second);
  }

 private:
  class FakeResource final : public IVersionResource {
   public:
    explicit FakeResource(Resource r) : r_(std::move(r)) {}
    std::vector<std::string> Translations() const override { return r_.translations; }
    std::optional<std::string> QueryString(const std::string& subBlock) const override {
      for (const auto& [k, v] : r_.strings)
        if (SameTextIgnoringCase(k, subBlock)) return v.empty() ? std::nullopt : std::optional<std::string>(v);
      return std::nullopt;
    }

   private:
    Resource r_;
  };
};

}  // namespace orv::test
