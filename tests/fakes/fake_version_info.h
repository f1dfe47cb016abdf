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
    return it == files.end() ? nullptr : std::make_unique<Opened>(it->second);
  }

 private:
  // A copy of the resource as the program opened it. An entry without text counts as none.
  struct Opened final : IVersionResource {
    explicit Opened(Resource r) : resource(std::move(r)) {}
    std::vector<std::string> Translations() const override { return resource.translations; }
    std::optional<std::string> QueryString(const std::string& subBlock) const override {
      for (const auto& [k, v] : resource.strings)
        if (SameTextIgnoringCase(k, subBlock) && !v.empty()) return v;
      return std::nullopt;
    }
    Resource resource;
  };
};

}  // namespace orv::test
