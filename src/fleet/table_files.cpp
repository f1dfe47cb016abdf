#include "fleet/table_files.h"
#include "fleet/streamed_table_files.h"

#include <optional>

#include "platform/files.h"

namespace orv {

namespace {

class BufferedTableWriter final : public ITableWriter {
 public:
  BufferedTableWriter(IFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

  void Append(std::string_view bytes) override { bytes_.append(bytes); }
  bool Finish(std::string*) override { return true; }
  bool Replace(std::string* error) override {
    previous_ = files_.ReadFile(path_);
    bool ok = files_.WriteFileAtomic(path_, bytes_, error);
    std::string().swap(bytes_);
    replaced_ = ok;
    return ok;
  }
  bool Restore() override {
    if (!replaced_) return false;
    replaced_ = false;
    return previous_ ? files_.WriteFileAtomic(path_, *previous_) : files_.RemoveFile(path_);
  }

 private:
  IFiles& files_;
  std::string path_;
  std::string bytes_;
  std::optional<std::string> previous_;  // the table before the replace; nullopt: there was none
  bool replaced_ = false;
};

}  // namespace

std::unique_ptr<ITableWriter> BufferedTableFiles::Create(const std::string& path, std::string*) {
  return std::make_unique<BufferedTableWriter>(files_, path);
}

std::string TableSidePath(const std::string& path, unsigned long processId, int attempt, const char* suffix) {
  size_t cut = path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string side = folder + "~" + name + "." + std::to_string(processId);
  if (attempt > 0) side += "-" + std::to_string(attempt);
  return side + suffix;
}

}  // namespace orv
