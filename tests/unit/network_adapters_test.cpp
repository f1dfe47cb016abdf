#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/network_info.h"

namespace orv {
namespace {

using test::ArrayProperty;
using test::FakeWmi;
using test::FindProperty;
using test::MergeInstances;
using test::NullProperty;
using test::ParseWmiListing;
using test::ReadTestData;
using test::ScalarProperty;

using Items = std::vector<std::string>;

const char kQuery[] = "Select * From Win32_NetworkAdapterConfiguration";

std::vector<WmiScalar> Texts(std::initializer_list<const char*> texts) {
  std::vector<WmiScalar> out;
  for (const char* t : texts) out.emplace_back(std::string(t));
  return out;
}

// An adapter as Windows describes it; `address` "" gives an adapter without addresses.
WmiInstance Adapter(const std::string& name, const char* address) {
  WmiInstance a;
  a.properties = {
      ScalarProperty("Description", 8, name),
      ScalarProperty("DHCPEnabled", 11, true),
      ArrayProperty("IPAddress", 8, Texts({address})),
      ArrayProperty("IPSubnet", 8, Texts({"255.255.255.0"})),
      ArrayProperty("DefaultIPGateway", 8, Texts({"10.0.0.1", "10.0.0.2"})),
      ArrayProperty("DNSServerSearchOrder", 8, Texts({"10.0.0.53", "10.0.0.54", "10.0.0.55"})),
      ScalarProperty("IPEnabled", 11, true),
      ScalarProperty("MACAddress", 8, std::string("00:11:22:33:44:55")),
      ScalarProperty("WINSPrimaryServer", 8, std::string("10.0.0.7")),
      ScalarProperty("WINSSecondaryServer", 8, std::string("10.0.0.8")),
  };
  if (!*address) *FindProperty(a, "IPAddress") = NullProperty("IPAddress", 8, true);
  return a;
}

Items Collect(FakeWmi& wmi) {
  Items items;
  CollectAdapters(wmi, [&](const std::string& v) { items.push_back(v); });
  return items;
}

Items Group(const Items& items, size_t g) { return Items(items.begin() + g * 8, items.begin() + g * 8 + 8); }
const Items kEmptyGroup(8);

TEST(CollectAdaptersTest, RealAdapterGivesSixteenItems) {
  // ZEE-PC's TP-Link adapter: the listing prints the main properties, then the rest.
  FakeWmi wmi;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = {MergeInstances(ParseWmiListing(
      ReadTestData("wmi/wmi_win32_networkadapterconfiguration_wmic-list_zee-pc-tplink_batch-comment.txt")))};
  const Items expected = {"TP-Link Gigabit PCI Express Adapter", "0", " 10.  0.  2.  8", "255.0.0.0", "", "",
                          "7C:8B:CA:03:66:C7", "", "", "", "", "", "", "", "", ""};
  EXPECT_EQ(Collect(wmi), expected);
  EXPECT_EQ(wmi.asked, std::vector<std::string>{kQuery});
}

TEST(CollectAdaptersTest, TheOfficeLanAdapterFormsTheSecondGroup) {
  struct Case {
    const char* first;
    const char* second;
    const char* firstGroup;  // description (= address) of the group appended first
  };
  const Case cases[] = {
      {"10.0.0.5", "192.168.0.3", "10.0.0.5"},     {"192.168.0.3", "10.0.0.5", "10.0.0.5"},
      {"192.168.1.2", "10.1.1.1", "10.1.1.1"},     {"10.1.1.1", "192.168.1.2", "10.1.1.1"},
      {"192.168.0.3", "192.168.1.4", "192.168.1.4"},
      {"192.168.0.3", "192.168.0.4", "192.168.0.3"},  // both on the office LAN: enumeration order
      {"10.0.0.1", "172.16.0.1", "10.0.0.1"},        // neither: enumeration order
  };
  for (const Case& c : cases) {
    FakeWmi wmi;
    wmi.classes["Win32_NetworkAdapterConfiguration"] = {Adapter(c.first, c.first), Adapter(c.second, c.second)};
    Items items = Collect(wmi);
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[0], c.firstGroup) << c.first << " " << c.second;
    EXPECT_EQ(items[8], c.firstGroup == std::string(c.first) ? c.second : c.first) << c.first << " " << c.second;
  }
}

TEST(CollectAdaptersTest, FieldsOfOneAdapter) {
  FakeWmi wmi;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = {Adapter("LAN", "192.168.0.10")};
  Items items = Collect(wmi);
  ASSERT_EQ(items.size(), 16u);
  const Items expected = {"LAN",      "1", "192.168.  0. 10", "255.255.255.0", "10.0.0.1", "10.0.0.53, 10.0.0.54",
                          "00:11:22:33:44:55", "10.0.0.7,10.0.0.8"};
  EXPECT_EQ(Group(items, 0), kEmptyGroup);
  EXPECT_EQ(Group(items, 1), expected);
}

TEST(CollectAdaptersTest, OptionalFieldsStayEmptyWhenTheyCannotBeRead) {
  struct Case {
    const char* what;
    const char* property;
    WmiProperty replacement;
    size_t field;
    const char* expected;
  };
  const Case cases[] = {
      {"no gateway", "DefaultIPGateway", NullProperty("DefaultIPGateway", 8, true), 4, ""},
      {"one name server", "DNSServerSearchOrder", ArrayProperty("DNSServerSearchOrder", 8, Texts({"1.1.1.1"})), 5,
       "1.1.1.1"},
      {"no name server", "DNSServerSearchOrder", NullProperty("DNSServerSearchOrder", 8, true), 5, ""},
      {"no secondary WINS", "WINSSecondaryServer", NullProperty("WINSSecondaryServer", 8), 7, "10.0.0.7"},
      {"DHCP off", "DHCPEnabled", ScalarProperty("DHCPEnabled", 11, false), 1, "0"},
  };
  for (const Case& c : cases) {
    WmiInstance a = Adapter("LAN", "10.0.0.9");
    *FindProperty(a, c.property) = c.replacement;
    FakeWmi wmi;
    wmi.classes["Win32_NetworkAdapterConfiguration"] = {a};
    Items items = Collect(wmi);
    ASSERT_EQ(items.size(), 16u) << c.what;
    EXPECT_EQ(items[c.field], c.expected) << c.what;
    EXPECT_EQ(items[0], "LAN") << c.what;  // the adapter still counts
  }
}

TEST(CollectAdaptersTest, OnlyEnabledAdaptersWithAnAddressAreTaken) {
  WmiInstance disabled = Adapter("disabled", "10.0.0.2");
  *FindProperty(disabled, "IPEnabled") = ScalarProperty("IPEnabled", 11, false);
  WmiInstance blank = Adapter("blank", "10.0.0.3");
  *FindProperty(blank, "IPAddress") = ArrayProperty("IPAddress", 8, Texts({"", "10.0.0.3"}));
  WmiInstance noMask = Adapter("no mask", "10.0.0.4");
  *FindProperty(noMask, "IPSubnet") = NullProperty("IPSubnet", 8, true);
  FakeWmi wmi;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = {disabled, Adapter("unbound", ""), blank, noMask,
                                                      Adapter("first", "10.0.0.5"), Adapter("second", "10.0.0.6"),
                                                      Adapter("third", "10.0.0.7")};
  Items items = Collect(wmi);
  ASSERT_EQ(items.size(), 16u);
  EXPECT_EQ(items[0], "first");  // the row the maskless adapter began is filled again
  EXPECT_EQ(items[3], "255.255.255.0");
  EXPECT_EQ(items[8], "second");
}

TEST(CollectAdaptersTest, AnAdapterThatFailsLastKeepsWhatWasWritten) {
  WmiInstance noMac = Adapter("no mac", "10.0.0.4");
  *FindProperty(noMac, "MACAddress") = NullProperty("MACAddress", 8);
  FakeWmi wmi;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = {noMac};
  Items items = Collect(wmi);
  ASSERT_EQ(items.size(), 16u);
  EXPECT_EQ(Group(items, 0), (Items{"no mac", "1", " 10.  0.  0.  4", "255.255.255.0", "10.0.0.1",
                                    "10.0.0.53, 10.0.0.54", "", ""}));
}

TEST(CollectAdaptersTest, AFailedQueryGivesSixteenEmptyItems) {
  FakeWmi wmi;
  wmi.down = true;
  EXPECT_EQ(Collect(wmi), Items(16));
  wmi.down = false;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = {};
  EXPECT_EQ(Collect(wmi), Items(16));
}

}  // namespace
}  // namespace orv
