// The start of the program: the command line (ParseCommandLine) and the settings file it names
// (ReadSaveFolder, ReadSmartReplayFolder, IniValue).
//
// Input parts (separated by 0x1E):
//   [0] the arguments after the program's name, separated by NUL bytes
//   [1] the settings file (CP932), stored where the command line says it is
//
// Properties: the unattended delay fits a window timer; without "/b" no unattended switch is
// set; the settings path is an argument or the default beside the program.

#include <string>
#include <vector>

#include "app/command_line.h"
#include "util/ini_text.h"
#include "fakes/fake_files.h"
#include "fuzz_support.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"
#include "util/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::vector<std::string_view> parts = fuzz::SplitParts(fuzz::AsText(data, size));
  std::vector<std::string> args;
  if (!parts[0].empty()) args = Split(parts[0], '\0');
  const std::string programPath = "C:\\tools\\inv\\qumbel.exe";
  const std::string defaultSettings = "C:\\tools\\inv\\qumbel.ini";

  const StartOptions o = ParseCommandLine(args, programPath);
  ORV_FUZZ_CHECK(o.delayMs <= kMaxTimerIntervalMs, std::to_string(o.delayMs));
  if (!o.unattended) ORV_FUZZ_CHECK(o.delayMs == 0 && !o.noHistory && !o.noFile && !o.auditTool, "");
  const bool named = (args.size() > 0 && o.settingsPath == args[0]) || (args.size() > 1 && o.settingsPath == args[1]);
  ORV_FUZZ_CHECK(named || o.settingsPath == defaultSettings, o.settingsPath);

  test::FakeFiles files;
  IconvCodec codec;
  files.AddFolder("C:\\tools\\inv");
  const std::string settings = parts.size() > 1 ? std::string(parts[1]) : std::string();
  if (parts.size() > 1 && !o.settingsPath.empty()) files.Put(o.settingsPath, settings);
  ReadSaveFolder(files, codec, o.settingsPath);
  ReadSmartReplayFolder(files, codec, o.settingsPath);

  const std::vector<std::string> lines = SplitLines(codec.FromCp932(settings));
  for (const char* key : {"SaveDir", "Manufacturer", "Model", ""}) IniValue(lines, "General", key);
  IniValue(lines, "", "");
  return 0;
}
