#pragma once
// The replay device: answers the drive S.M.A.R.T. commands from captured 512-byte sectors in a
// folder, so that the disk-health path runs end to end where no drive answers (Wine has no
// S.M.A.R.T. device) and so that a drive captured elsewhere can be looked at. It is used only
// when the administrator names a folder in the settings file; it never stands in for the real
// device by itself.
//
// Folder layout, per drive number n (the n of "\\.\PhysicalDrive<n>"):
//   drive<n>_identify.*               IDENTIFY DEVICE sector
//   drive<n>_smart_read_data.*        SMART READ DATA sector
//   drive<n>_smart_read_thresholds.*  SMART READ THRESHOLDS sector
// each as ".bin" (the 512 bytes as read) or as ".hexdump.txt" / ".txt" (text lines
// "NNN-NNN: xx xx ...", 16 bytes a line, NNN-NNN the decimal offsets), the form disk tools print.
// An NVMe drive n instead has
//   drive<n>_nvme_identify_controller.*   Identify Controller data (its first 512 bytes, or all
//                                         4096; bytes not captured read as zeros)
//   drive<n>_nvme_smart_health_log02.*    SMART / Health Information log (512 bytes)
// and answers the storage property queries of the NVMe path (bus type NVMe) and refuses the ATA
// commands, as an NVMe driver does. Either kind may have drive<n>_length.txt, the drive's size
// in bytes in decimal, which answers the disk length and geometry queries (an NVMe drive whose identify data
// gives no capacity reads its capacity there; without the file it reads 0).
// Drive n exists when one of its identify files exists; a folder may mix ATA and NVMe drives. A
// sector that is missing or unusable makes its command fail as an aborted command.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/smart_device.h"

namespace orv {

class IFiles;

// The 512 bytes of a hexdump text; nullopt unless every byte 0..511 is given.
std::optional<std::string> ParseSectorDump(std::string_view text);

class ReplaySmartDevice final : public ISmartDevice {
 public:
  // `messages` (optional) supplies the system's message texts; without it a few English texts of
  // the codes this device reports are used.
  ReplaySmartDevice(IFiles& files, std::string folder, std::unique_ptr<ISmartDevice> messages = nullptr);

  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode, uint32_t disposition) override;
  std::string ErrorText(uint32_t code) override;

  // True when drive `drive` has an identify file of either kind.
  bool DriveExists(int drive);
  // An ATA drive has an ATA identify file; an NVMe drive has an identify controller file and none.
  bool IsAtaDrive(int drive);
  bool IsNvmeDrive(int drive);
  // The size in the drive's length file; nullopt without a usable one.
  std::optional<int64_t> Length(int drive);
  // The captured sector `kind` ("identify", "smart_read_data", "smart_read_thresholds",
  // "nvme_identify_controller", "nvme_smart_health_log02") of `drive`; nullopt when it is missing
  // or unusable.
  std::optional<std::string> Sector(int drive, std::string_view kind);

 private:
  std::string FilePath(int drive, std::string_view kind, std::string_view extension) const;
  bool HasCapture(int drive, std::string_view kind);

  IFiles& files_;
  std::string folder_;
  std::unique_ptr<ISmartDevice> messages_;
};

// The device the program uses: the replay device over `replayFolder` when the settings name one
// (a relative folder is taken beside the program, `programFolder` ending with a backslash), else
// `real`. The replay device borrows `real`'s message texts.
std::unique_ptr<ISmartDevice> MakeSmartDevice(IFiles& files, const std::string& replayFolder,
                                              const std::string& programFolder, std::unique_ptr<ISmartDevice> real);

}  // namespace orv
