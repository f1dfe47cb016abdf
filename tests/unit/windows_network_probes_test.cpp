#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "probes/hardware.h"
#include "probes/network_info.h"
#include "probes/windows_info.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using test::FakePlatform;

TEST(WindowsProbes, UpdateWalkTakesStringDatesUnderWindowsKeysOnly) {
  FakePlatform p;
  const std::string u = "HKLM\\Software\\Microsoft\\Updates";
  p.registry.SetString(u + "\\Windows XP\\SP2\\KB1", "InstalledDate", "9/5/03");
  p.registry.SetDword(u + "\\Windows XP\\SP2\\KB2", "InstalledDate", 5);       // a number adds nothing
  p.registry.SetString(u + "\\Office\\KB3", "InstalledDate", "2004/1/1");      // no "\Windows "
  p.registry.SetString(u + "\\Windows XP\\SP2\\KB4", "InstalledDate", "2004/11");  // no day: no crash
  std::string deep = u + "\\Windows XP";
  for (int depth = 2; depth <= 64; ++depth) deep += "\\k";
  p.registry.SetString(deep, "InstalledDate", "2005/1/1");          // 64 keys down: the deepest walked
  p.registry.SetString(deep + "\\k", "InstalledDate", "2006/1/1");  // one more: beyond the walk
  TRegistryEx reg(p.registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  std::vector<std::string> dates;
  CollectUpdateDates(reg, "\\Software\\Microsoft\\Updates", dates);
  EXPECT_EQ(dates, (std::vector<std::string>{"2003/09/05", "2004/11/0", "2005/01/01"}));
}

TEST(WindowsProbes, FoldersUsersServerTimeAndDialUp) {
  FakePlatform p;
  EXPECT_EQ(GetWindowsFolder(p.system), "C:\\Windows\\");
  p.system.windowsDirectory.reset();
  EXPECT_EQ(GetWindowsFolder(p.system), "Error!");
  p.system.documentsFolder.reset();
  EXPECT_EQ(GetDocumentsFolder(p.system), "Error!");
  p.system.userName.reset();
  EXPECT_EQ(GetLogonUserName(p.system), "");
  EXPECT_EQ(GetServerTime(p.network, "\\\\srv"), "");
  p.network.serverTimes["\\\\srv"] = DateTime{2004, 3, 5, 9, 7, 3};
  EXPECT_EQ(GetServerTime(p.network, "\\\\srv"), "2004/03/05 09:07:03");
  p.network.dialUp.entries = {{"A", std::string("u")}, {"B", std::string()}};
  EXPECT_EQ(EnumDialUpEntries(p.network), "A:u/B:");
  p.network.dialUp.status = DialUpList::Status::EnumFailed;
  EXPECT_EQ(EnumDialUpEntries(p.network), "RasEnumEntries failed.");
  p.network.dialUp.status = DialUpList::Status::LibraryMissing;
  EXPECT_EQ(EnumDialUpEntries(p.network), "rasapi32.dll not found.");
}

TEST(WindowsProbes, FixedDrivesFromAToZ) {
  FakePlatform p;
  for (char letter : {'A', 'Z', '['}) p.system.drives[letter] = DriveFacts{3, "NTFS", true, 2ULL << 20, 1ULL << 20};
  EXPECT_EQ(GetDriveInfo(p.system, 1).sizeMB, "2");
  EXPECT_EQ(GetDriveInfo(p.system, 26).fileSystem, "NTFS");
  EXPECT_EQ(GetDriveInfo(p.system, 27).fileSystem, "");
  p.system.drives['C'] = DriveFacts{2, "FAT", true, 2ULL << 20, 1ULL << 20};  // removable: not a fixed disk
  EXPECT_EQ(GetDriveInfo(p.system, 3).sizeMB, "");
}

TEST(NetworkProbes, HostAddress) {
  FakePlatform p;
  HostLookup ok;
  ok.status = HostLookup::Status::Ok;
  ok.address[0] = 192; ok.address[1] = 168; ok.address[2] = 0; ok.address[3] = 3;
  p.network.hosts["pc01"] = ok;
  EXPECT_EQ(GetHostAddress(p.dialogs, p.network, "pc01"), "192.168.0.3");
  EXPECT_EQ(GetHostAddress(p.dialogs, p.network, "nowhere"), "(N/A)");
  HostLookup down;
  down.status = HostLookup::Status::StartupFailed;
  p.network.hosts[""] = down;
  EXPECT_EQ(GetHostAddress(p.dialogs, p.network, ""), "");
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].text, "Error Occured");
}

}  // namespace
}  // namespace orv
