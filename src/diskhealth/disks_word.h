#pragma once
// The count word "#disks n" of the registry item script: one value per physical drive, so that a
// fleet's tables show every drive of every PC, NVMe and ATA alike.

#include <string>
#include <vector>

namespace orv {

struct Platform;

// Exactly `count` values (none for a count below 1): drives 0, 1, 2, ... up to the first that does
// not exist, then empty values. A drive's value is
//   "<n> <bus> <model> <capacity MB>MB <judgement> <temperature>℃"
// (judgement "故障" when any slot failed, else "警戒" when any warned, else "OK"; "-" instead of
// the temperature when the drive reports none), or "<n> <bus> -" for a drive that is there but
// cannot be read ("-" for a bus the system does not name).
std::vector<std::string> DisksWordValues(Platform& platform, int count);

}  // namespace orv
