#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "probes/network_info.h"
#include "probes/windows_info.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using test::FakePlatform;

TEST(WindowsProbes, BrowserLabels) {
  const std::pair<const char*, const char*> cases[] = {
      {"6.0.2800.1106", "IE6 SP1 6.0.2800.1106"}, {"6.0.2600.0000", "IE6 6.0.2600.0000"},
      {"5.00.2314.1003", "IE5.0 5.00.2314.1003"}, {"4.72.3110.8", "IE4.01 SP1 4.72.3110.8"},
      {"7.0.5730.13", "IE 7.0.5730.13"},          {"", "IE "},
  };
  for (const auto& [version, label] : cases) EXPECT_EQ(GetIEVersionLabel(version), label) << version;
}

TEST(WindowsProbes, UpdateDatesAreNormalised) {
  const std::pair<const char*, const char*> cases[] = {
      {"2003/9/5", "2003/09/05"}, {"9/5/03", "2003/09/05"},   {"12/31/99", "1999/12/31"},
      {"1/2/2004", "2004/01/02"}, {"2004/11/22", "2004/11/22"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseUpdateDate(in), out) << in;
}

TEST(WindowsProbes, UpdateWalkTakesStringDatesUnderWindowsKeysOnly) {
  FakePlatform p;
  const std::string u = "HKLM\\Software\\Microsoft\\Updates";
  p.registry.SetString(u + "\\Windows XP\\SP2\\KB1", "InstalledDate", "9/5/03");
  p.registry.SetDword(u + "\\Windows XP\\SP2\\KB2", "InstalledDate", 5);       // a number adds nothing
  p.registry.SetString(u + "\\Office\\KB3", "InstalledDate", "2004/1/1");      // no "\Windows "
  p.registry.SetString(u + "\\Windows XP\\SP2\\KB4", "InstalledDate", "2004/11/22");
  p.registry.SetString(u + "\\Windows XP\\SP2\\KB5", "InstalledDate", "2004/11");  // no day: no crash
  TRegistryEx reg(p.registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  std::vector<std::string> dates;
  CollectUpdateDates(reg, "\\Software\\Microsoft\\Updates", dates);
  EXPECT_EQ(dates, (std::vector<std::string>{"2003/09/05", "2004/11/22", "2004/11/0"}));
}

TEST(WindowsProbes, UnixTime) {
  EXPECT_EQ(FormatDateTime(UnixTimeToDateTime(0)), "1970/01/01 00:00:00");
  EXPECT_EQ(FormatDateTime(UnixTimeToDateTime(1273299354)), "2010/05/08 06:15:54");
  EXPECT_EQ(FormatDateTime(UnixTimeToDateTime(-1)), "1969/12/31 23:59:59");
}

TEST(WindowsProbes, FoldersAndTrim) {
  FakePlatform p;
  EXPECT_EQ(GetWindowsFolder(p.system), "C:\\Windows\\");
  EXPECT_EQ(GetSystemFolder(p.system), "C:\\Windows\\system32");
  p.system.documentsFolder.reset();
  EXPECT_EQ(GetDocumentsFolder(p.system), "Error!");
  EXPECT_EQ(TrimTrailingSpaces("ab  "), "ab");
  EXPECT_EQ(TrimTrailingSpaces("   "), "");
  EXPECT_EQ(TrimTrailingSpaces(" a\t"), " a\t");
}

TEST(NetworkProbes, AddressColumns) {
  EXPECT_EQ(FormatAddressColumns("192.168.0.1"), "192.168.  0.  1");
  EXPECT_EQ(FormatAddressColumns("10.0.0.5"), " 10.  0.  0.  5");
  EXPECT_EQ(FormatAddressColumns(""), "");
}

TEST(NetworkProbes, ServerTimeIsEmptyWhenTheServerDoesNotAnswer) {
  FakePlatform p;
  EXPECT_EQ(GetServerTime(p.network, "\\\\srv"), "");
  p.network.serverTimes["\\\\srv"] = DateTime{2004, 3, 5, 9, 7, 3};
  EXPECT_EQ(GetServerTime(p.network, "\\\\srv"), "2004/03/05 09:07:03");
}

TEST(NetworkProbes, DialUpEntries) {
  FakePlatform p;
  p.network.dialUp.entries = {{"A", std::string("u")}, {"B", std::string()}};
  EXPECT_EQ(EnumDialUpEntries(p.network), "A:u/B:");
  p.network.dialUp.entries.clear();
  EXPECT_EQ(EnumDialUpEntries(p.network), "");
  p.network.dialUp.status = DialUpList::Status::EnumFailed;
  EXPECT_EQ(EnumDialUpEntries(p.network), "RasEnumEntries failed.");
  p.network.dialUp.status = DialUpList::Status::LibraryMissing;
  EXPECT_EQ(EnumDialUpEntries(p.network), "rasapi32.dll not found.");
}

TEST(NetworkProbes, LongUserNamesAreReadWhole) {
  FakePlatform p;
  p.system.userName = "administrator.of.the.accounting.department";
  EXPECT_EQ(GetLogonUserName(p.system), "administrator.of.the.accounting.department");
  p.system.userName.reset();
  EXPECT_EQ(GetLogonUserName(p.system), "");
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
