#include "fleet/table_files.h"

#include "platform/files.h"

namespace orv {

namespace {

class BufferedTableWriter final : public ITableWriter {
 public:
  BufferedTableWriter(IFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

  void Append(std::string_view bytes) override { bytes_.append(bytes); }
  bool Finish(std::string*) override { return true; }
  bool Replace(std::string* error) override {
    bool ok = files_.WriteFileAtomic(path_, bytes_, error);
    std::string().swap(bytes_);
    return ok;
  }

 private:
  IFiles& files_;
  std::string path_;
  std::string bytes_;
};

}  // namespace

std::unique_ptr<ITableWriter> BufferedTableFiles::Create(const std::string& path, std::string*) {
  return std::make_unique<BufferedTableWriter>(files_, path);
}

}  // namespace orv
