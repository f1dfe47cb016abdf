#pragma once
// Version resources of executable files.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

class IVersionResource {
 public:
  virtual ~IVersionResource() = default;
  // Translation entries as eight upper-case hex digits, language first ("041104B0"); may be empty.
  virtual std::vector<std::string> Translations() const = 0;
  // Text of a string entry such as "\StringFileInfo\041104B0\ProductVersion"; nullopt when the
  // entry does not exist or has no text.
  virtual std::optional<std::string> QueryString(const std::string& subBlock) const = 0;
};

class IVersionInfo {
 public:
  virtual ~IVersionInfo() = default;
  // The version resource of the file at `path`; nullptr when the file is missing or has none.
  virtual std::unique_ptr<IVersionResource> Open(const std::string& path) = 0;
};

}  // namespace orv
