#include "util/text_file.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "util/text.h"

namespace orv {

std::optional<std::vector<std::string>> ReadTextLines(IFiles& files, const ITextCodec& codec,
                                                      const std::string& path) {
  auto bytes = files.ReadFile(path);
  if (!bytes) return std::nullopt;
  return SplitLines(codec.FromCp932(*bytes));
}

std::string EncodeLines(const ITextCodec& codec, const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) {
    out += codec.ToCp932(line);
    out += "\r\n";
  }
  return out;
}

bool WriteTextLines(IFiles& files, const ITextCodec& codec, const std::string& path,
                    const std::vector<std::string>& lines, std::string* error) {
  return files.WriteFileAtomic(path, EncodeLines(codec, lines), error);
}

std::string ExtractFilePath(const std::string& path) {
  size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return path + ext;
  return path.substr(0, dot) + ext;
}

}  // namespace orv
