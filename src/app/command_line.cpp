#include "app/command_line.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "util/ini_text.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

// Seconds after "/b" as a timer interval; the default when they are no whole number or the
// interval does not fit the timer (a large N would overflow N x 1000).
unsigned DelayFromText(const std::string& text) {
  auto seconds = ParseInt64(text);
  if (!seconds || *seconds < 0) return kDefaultUnattendedDelayMs;
  unsigned long long ms = static_cast<unsigned long long>(*seconds) * 1000ULL;
  if (static_cast<unsigned long long>(*seconds) > kMaxTimerIntervalMs / 1000ULL || ms > kMaxTimerIntervalMs)
    return kDefaultUnattendedDelayMs;
  return static_cast<unsigned>(ms);
}

}  // namespace

StartOptions ParseCommandLine(const std::vector<std::string>& args, const std::string& programPath) {
  StartOptions o;
  const std::string first = args.size() > 0 ? LowerCase(args[0]) : std::string();
  const std::string second = args.size() > 1 ? LowerCase(args[1]) : std::string();

  o.adminMenus = Contains(first, "/a");
  size_t b = first.find("/b");
  if (b != std::string::npos) {
    o.unattended = true;
    o.noHistory = Contains(first, "/p");
    o.noFile = Contains(first, "/h");
    o.auditTool = Contains(first, "/w");
    o.delayMs = DelayFromText(LeftChars(first.substr(b + 2), 512));
  }

  if (Contains(first, ".ini"))
    o.settingsPath = args[0];
  else if (Contains(second, ".ini"))
    o.settingsPath = args[1];
  else
    o.settingsPath = ChangeFileExt(programPath, ".ini");
  return o;
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The settings file's lines. It is CP932 like every file of the program, but Notepad saves it as
// UTF-8 with a byte-order mark when asked for UTF-8; such a file is read as UTF-8 (without the
// mark, which would otherwise hide the first section's name). Its bytes are taken as they are:
// the W functions turn a malformed sequence into U+FFFD.
std::optional<std::vector<std::string>> SettingsLines(IFiles& files, const ITextCodec& codec,
                                                      const std::string& settingsPath) {
  auto bytes = files.ReadFile(settingsPath);
  if (!bytes) return std::nullopt;
  if (std::string_view(*bytes).starts_with(kUtf8Mark))
    return SplitLines(std::string_view(*bytes).substr(kUtf8Mark.size()));
  return SplitLines(codec.FromCp932(*bytes));
}

std::string SettingOf(IFiles& files, const ITextCodec& codec, const std::string& settingsPath, const char* key) {
  if (!files.FileExists(settingsPath)) return {};
  auto lines = SettingsLines(files, codec, settingsPath);
  if (!lines) return {};
  return IniValue(*lines, "General", key).value_or("");
}

}  // namespace

std::string ReadSmartReplayFolder(IFiles& files, const ITextCodec& codec, const std::string& settingsPath) {
  return SettingOf(files, codec, settingsPath, "SmartReplayFolder");
}

std::string ReadSaveFolder(IFiles& files, const ITextCodec& codec, const std::string& settingsPath) {
  std::string folder = SettingOf(files, codec, settingsPath, "SaveDir");
  if (EndsWith(folder, "\\")) folder.pop_back();
  return folder;
}

}  // namespace orv
