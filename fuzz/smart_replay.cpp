// The replay device: captured sectors read from a folder (hexdump text or 512-byte .bin files),
// answering the S.M.A.R.T. commands of ReadSmartData; and ParseSectorDump itself.
//
// Input parts: [0] settings: [0] bit 0 identify as .bin (else hexdump text), bit 1 data as .bin,
// bit 2 thresholds as .bin, bit 3 the files belong to drive 1 (else drive 0), bit 4 the folder
// is given relative to the program, bit 5 the drive is an NVMe drive; [1] family (0 NT, 1 9x).
// [1] the identify file, [2] the attribute file, [3] the threshold file; for an NVMe drive [1]
// the identify controller file, [2] the health log file, [3] the length file. [4] the folder
// name as the settings file would give it (default "C:\captures").
//
// Properties: a parsed dump is exactly 512 bytes; any 512 bytes printed as a hexdump parse back
// to the same bytes; an NVMe drive that reads fills its ten slots and names its bus.

#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "fuzz_support.h"

namespace {

// The sector as disk tools print it: "NNN-NNN: xx xx ..." 16 bytes a line.
std::string HexDump(const std::string& sector) {
  std::string out;
  char buf[16];
  for (size_t at = 0; at < sector.size(); ++at) {
    if (at % 16 == 0) {
      std::snprintf(buf, sizeof buf, "%03zu-%03zu:", at, at + 15);
      out += buf;
    }
    std::snprintf(buf, sizeof buf, " %02x", static_cast<unsigned char>(sector[at]));
    out += buf;
    if (at % 16 == 15) out += "\r\n";
  }
  return out;
}

}  // namespace

ORV_FUZZ_TARGET(input) {
  const Parts parts(input);
  ByteReader settings(parts[0]);
  const uint8_t flags = settings.Byte();
  const uint32_t platformId = settings.Below(2) == 0 ? kPlatformNT : kPlatformWin9x;
  const int drive = (flags & 8) ? 1 : 0;
  const bool nvme = flags & 32;

  test::FakeFiles files;
  const std::string programFolder = "C:\\tools\\inv\\";
  // The captures lie in C:\captures or beside the program; the settings name that folder (or
  // any other text).
  const std::string folderPath = (flags & 16) ? programFolder + "captures" : "C:\\captures";
  const std::string folder = parts.size() > 4 ? parts.Text(4) : (flags & 16) ? "captures" : folderPath;
  files.AddFolder(programFolder);
  files.AddFolder(folderPath);
  const char* kinds[2][3] = {{"identify", "smart_read_data", "smart_read_thresholds"},
                             {"nvme_identify_controller", "nvme_smart_health_log02", "length"}};
  for (int k = 0; k < 3; ++k) {
    const bool length = nvme && k == 2, bin = ((flags >> k) & 1) && !length;
    const char* extension = bin ? ".bin" : length ? ".txt" : ".hexdump.txt";
    files.Put(folderPath + "\\drive" + std::to_string(drive) + "_" + kinds[nvme][k] + extension,
              parts.Text(1 + k));
    if (const auto sector = bin || length ? std::nullopt : ParseSectorDump(parts.Text(1 + k)))
      ORV_FUZZ_CHECK(sector->size() == 512, sector->size());
  }

  // Without a folder the real device (none here) stays.
  std::unique_ptr<ISmartDevice> device = MakeSmartDevice(files, folder, programFolder, nullptr);
  ORV_FUZZ_CHECK(device || Trim(folder).empty(), folder);
  if (device) {
    TSmartResult r;
    std::string error;
    ReadSmartData(*device, platformId, drive, r, error);
    ORV_FUZZ_CHECK(r.AttrCount >= 0 && r.AttrCount <= kSmartEntries, r.AttrCount);
    if (nvme && error.empty() && platformId == kPlatformNT)
      ORV_FUZZ_CHECK(r.AttrCount == 10 && r.BusType == "NVMe" && r.Capacity >= 0, r.BusType);
  }

  std::string sector = parts.Text(1).substr(0, 512);
  sector.resize(512, '\0');
  const std::optional<std::string> again = ParseSectorDump(HexDump(sector));
  ORV_FUZZ_CHECK(again && *again == sector, HexDump(sector));
}
