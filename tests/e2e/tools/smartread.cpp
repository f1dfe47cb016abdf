// smartread: runs ReadSmartData over the real Win32 S.M.A.R.T. interface, or over the replay
// device of captured sectors, and prints the result for the end-to-end tests. One "name=value"
// line per field in UTF-8; slots as "slot<i>=id|name|pre|event|rate|current|worst|threshold|raw|status".
//
//   smartread <drive> [<replay-folder>]
//
// Exit code 0 when ReadSmartData returned true, 1 when it returned false, 2 on a usage error.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <string>

#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_smart.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/wide.h"

namespace {

void Print(const std::string& name, const std::string& value) {
  std::string line = name + "=" + value + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace orv;
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2 || argc > 3) {
    std::fputs("usage: smartread <drive> [<replay-folder>]\n", stderr);
    return 2;
  }
  const std::string driveText = win32::NarrowZ(argv[1]);
  if (driveText.empty() || driveText.find_first_not_of("0123456789") != std::string::npos) {
    std::fputs("smartread: the drive is a number\n", stderr);
    return 2;
  }
  Win32Files files;
  Win32System system;
  std::unique_ptr<ISmartDevice> device = std::make_unique<win32::Win32SmartDevice>();
  if (argc == 3) device = MakeSmartDevice(files, win32::NarrowZ(argv[2]), "", std::move(device));

  TSmartResult r;
  std::string error;
  const bool ok = ReadSmartData(*device, system.GetOsVersion().platformId, std::stoi(driveText), r, error);
  Print("result", ok ? "true" : "false");
  Print("error", error);
  Print("DriveNum", std::to_string(r.DriveNum));
  Print("ModelNumber", r.ModelNumber);
  Print("SerialNumber", r.SerialNumber);
  Print("FirmwareRev", r.FirmwareRev);
  Print("Capacity", std::to_string(r.Capacity));
  Print("Temperature", std::to_string(r.Temperature));
  Print("TempWorst", std::to_string(r.TempWorst));
  Print("TempLow", std::to_string(r.TempLow));
  Print("HoursRunning", std::to_string(r.HoursRunning));
  Print("ReallocSector", std::to_string(r.ReallocSector));
  Print("PowerCycles", std::to_string(r.PowerCycles));
  Print("SmartFailTot", std::to_string(r.SmartFailTot));
  Print("SmartWarnTot", std::to_string(r.SmartWarnTot));
  Print("AttrCount", std::to_string(r.AttrCount));
  for (int i = 0; i < r.AttrCount && i < kSmartSlots; ++i) {
    Print("slot" + std::to_string(i),
          std::to_string(r.AttrId[i]) + "|" + r.AttrName[i] + "|" + (r.PreFailure[i] ? "1" : "0") + "|" +
              (r.EventCount[i] ? "1" : "0") + "|" + (r.ErrorRate[i] ? "1" : "0") + "|" + std::to_string(r.Current[i]) +
              "|" + std::to_string(r.Worst[i]) + "|" + std::to_string(r.Threshold[i]) + "|" +
              std::to_string(r.RawValue[i]) + "|" + r.AttrStatus[i]);
  }
  return ok ? 0 : 1;
}
