#include "platform/win32/win32_version_info.h"

#include <cstdio>

#include "platform/win32/wide.h"

namespace orv {

namespace {

class Win32VersionResource final : public IVersionResource {
 public:
  explicit Win32VersionResource(std::vector<BYTE> block) : block_(std::move(block)) {}

  std::vector<std::string> Translations() const override {
    std::vector<std::string> entries;
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &data, &length) || !data)
      return entries;
    // Pairs of 16-bit words: language, code page.
    const auto* words = static_cast<const WORD*>(data);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
      char text[9];
      std::snprintf(text, sizeof text, "%04X%04X", static_cast<unsigned>(words[i]),
                    static_cast<unsigned>(words[i + 1]));
      entries.emplace_back(text);
    }
    return entries;
  }

  std::optional<std::string> QueryString(const std::string& subBlock) const override {
    void* data = nullptr;
    UINT length = 0;  // in characters for a string entry
    if (!VerQueryValueW(block_.data(), win32::Widen(subBlock).c_str(), &data, &length) || !data ||
        length == 0)
      return std::nullopt;
    std::string text = win32::NarrowZ(static_cast<const wchar_t*>(data), length);
    if (text.empty()) return std::nullopt;
    return text;
  }

 private:
  std::vector<BYTE> block_;
};

}  // namespace

std::unique_ptr<IVersionResource> Win32VersionInfo::Open(const std::string& path) {
  std::wstring widePath = win32::Widen(path);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
  if (size == 0) return nullptr;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) return nullptr;
  return std::make_unique<Win32VersionResource>(std::move(block));
}

}  // namespace orv
