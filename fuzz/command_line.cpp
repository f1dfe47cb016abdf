// The start of the program: the command line (ParseCommandLine) and the settings file it names
// (ReadSaveFolder, ReadSmartReplayFolder, IniValue).
//
// Input parts: [0] the arguments after the program's name, separated by NUL bytes; [1] the
// settings file (CP932), stored where the command line says it is.
//
// Properties: the unattended delay fits a window timer; without "/b" no unattended switch is
// set; the settings path is an argument or the default beside the program.

#include "app/command_line.h"

#include "fuzz_support.h"
#include "util/ini_text.h"
#include "util/text_file.h"

ORV_FUZZ_TARGET(input) {
  const Parts parts(input);
  const std::vector<std::string> args = parts[0].empty() ? std::vector<std::string>() : Split(parts[0], '\0');
  const StartOptions o = ParseCommandLine(args, "C:\\tools\\inv\\qumbel.exe");
  ORV_FUZZ_CHECK(o.delayMs <= kMaxTimerIntervalMs, o.delayMs);
  if (!o.unattended) ORV_FUZZ_CHECK(o.delayMs == 0 && !o.noHistory && !o.noFile && !o.auditTool, "");
  const bool named =
      (args.size() > 0 && o.settingsPath == args[0]) || (args.size() > 1 && o.settingsPath == args[1]);
  ORV_FUZZ_CHECK(named || o.settingsPath == "C:\\tools\\inv\\qumbel.ini", o.settingsPath);

  test::FakeFiles files;
  IconvCodec codec;
  files.AddFolder("C:\\tools\\inv");
  if (parts.size() > 1 && !o.settingsPath.empty()) files.Put(o.settingsPath, parts.Text(1));
  ReadSaveFolder(files, codec, o.settingsPath);
  ReadSmartReplayFolder(files, codec, o.settingsPath);
  const std::vector<std::string> lines = SplitLines(codec.FromCp932(parts.Text(1)));
  for (const char* key : {"SaveDir", "Manufacturer", "Model", ""}) IniValue(lines, "General", key);
  IniValue(lines, "", "");
}
