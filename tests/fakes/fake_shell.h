#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace orv::test {

class FakeShell final : public IShell {
 public:
  struct Started {
    std::string application, commandLine;
  };
  std::vector<Started> started;
  std::vector<std::string> opened;
  std::optional<bool> admin = true;

  bool StartProcess(const std::string& application, const std::string& commandLine) override {
    started.push_back({application, commandLine});
    return true;
  }
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  std::optional<bool> IsUserAnAdmin() override { return admin; }
};

}  // namespace orv::test
