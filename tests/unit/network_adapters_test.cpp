#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/network_info.h"

namespace orv {
namespace {

using test::ArrayProperty;
using test::FindProperty;
using test::NullProperty;
using test::ScalarProperty;
using Items = std::vector<std::string>;

std::vector<WmiScalar> Texts(std::initializer_list<const char*> texts) {
  std::vector<WmiScalar> out;
  for (const char* t : texts) out.emplace_back(std::string(t));
  return out;
}

// An adapter as Windows describes it, with one property replaced.
WmiInstance Adapter(const char* address, WmiProperty replaced = {}) {
  WmiInstance a{{ScalarProperty("Description", 8, std::string(address)), ScalarProperty("DHCPEnabled", 11, true),
                 ArrayProperty("IPAddress", 8, Texts({address})), ArrayProperty("IPSubnet", 8, Texts({"255.255.255.0"})),
                 ArrayProperty("DefaultIPGateway", 8, Texts({"10.0.0.1", "10.0.0.2"})),
                 ArrayProperty("DNSServerSearchOrder", 8, Texts({"10.0.0.53", "10.0.0.54", "10.0.0.55"})),
                 ScalarProperty("IPEnabled", 11, true), ScalarProperty("MACAddress", 8, std::string("00:11:22:33:44:55")),
                 ScalarProperty("WINSPrimaryServer", 8, std::string("10.0.0.7")),
                 ScalarProperty("WINSSecondaryServer", 8, std::string("10.0.0.8"))}};
  if (WmiProperty* p = FindProperty(a, replaced.name)) *p = replaced;
  return a;
}

Items Collect(std::vector<WmiInstance> adapters, bool down = false) {
  test::FakeWmi wmi;
  wmi.classes["Win32_NetworkAdapterConfiguration"] = std::move(adapters);
  wmi.down = down;
  Items items;
  CollectAdapters(wmi, [&](const std::string& v) { items.push_back(v); });
  return items;
}

TEST(CollectAdapters, TheRealAdapterAndEveryField) {
  // ZEE-PC's TP-Link adapter: the listing prints the main properties, then the rest.
  EXPECT_EQ(Collect({test::MergeInstances(test::ParseWmiListing(test::ReadTestData(
                "wmi/wmi_win32_networkadapterconfiguration_wmic-list_zee-pc-tplink_batch-comment.txt")))}),
            (Items{"TP-Link Gigabit PCI Express Adapter", "0", " 10.  0.  2.  8", "255.0.0.0", "", "",
                   "7C:8B:CA:03:66:C7", "", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(Collect({Adapter("192.168.0.10")}),
            (Items{"", "", "", "", "", "", "", "", "192.168.0.10", "1", "192.168.  0. 10", "255.255.255.0", "10.0.0.1",
                   "10.0.0.53, 10.0.0.54", "00:11:22:33:44:55", "10.0.0.7,10.0.0.8"}));
  EXPECT_EQ(Collect({}, true), Items(16));
}

TEST(CollectAdapters, OptionalFieldsAndFieldsTheRowNeeds) {
  struct Case {
    WmiProperty replaced;
    std::vector<std::pair<size_t, const char*>> changed;  // fields that differ from the full adapter's
  } const cases[] = {
      {NullProperty("DefaultIPGateway", 8, true), {{4, ""}}},
      {ArrayProperty("DNSServerSearchOrder", 8, Texts({"1.1.1.1"})), {{5, "1.1.1.1"}}},
      {NullProperty("WINSPrimaryServer", 8), {{7, ""}}},
      {NullProperty("WINSSecondaryServer", 8), {{7, "10.0.0.7"}}},
      {ScalarProperty("DHCPEnabled", 11, false), {{1, "0"}}},
      // A row without its hardware address keeps what was written; no other adapter fills it again.
      {NullProperty("MACAddress", 8), {{6, ""}, {7, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replaced.name);
    Items expected{"10.0.0.9", "1", " 10.  0.  0.  9", "255.255.255.0", "10.0.0.1", "10.0.0.53, 10.0.0.54",
                   "00:11:22:33:44:55", "10.0.0.7,10.0.0.8"};
    for (const auto& [field, text] : c.changed) expected[field] = text;
    const Items items = Collect({Adapter("10.0.0.9", c.replaced)});
    EXPECT_EQ(Items(items.begin(), items.begin() + 8), expected);
  }
}

TEST(CollectAdapters, ListedAdaptersAndTheOfficeLanLast) {
  // Not listed: IP off, no address, a blank first address; a row without a mask is filled again.
  const Items items = Collect({Adapter("10.0.0.2", ScalarProperty("IPEnabled", 11, false)),
                               Adapter("10.0.0.3", NullProperty("IPAddress", 8, true)),
                               Adapter("10.0.0.4", ArrayProperty("IPAddress", 8, Texts({"", "10.0.0.4"}))),
                               Adapter("10.0.0.5", ScalarProperty("DHCPEnabled", 8, std::string("yes"))),
                               Adapter("10.0.0.6", NullProperty("IPSubnet", 8, true)), Adapter("10.0.0.7"),
                               Adapter("10.0.0.8"), Adapter("192.168.0.9")});
  EXPECT_EQ(items[0], "10.0.0.7");
  EXPECT_EQ(items[3], "255.255.255.0");
  EXPECT_EQ(items[8], "10.0.0.8");
  // The group order: 192.168.0.x last, else 192.x last, else the order of enumeration.
  const std::pair<std::pair<const char*, const char*>, const char*> orders[] = {
      {{"192.168.0.3", "10.0.0.5"}, "10.0.0.5"},   {{"10.0.0.5", "192.168.0.3"}, "10.0.0.5"},
      {{"192.168.1.2", "10.1.1.1"}, "10.1.1.1"},   {{"10.1.1.1", "192.168.1.2"}, "10.1.1.1"},
      {{"192.168.0.3", "192.168.1.4"}, "192.168.1.4"}, {{"192.168.1.4", "192.168.0.3"}, "192.168.1.4"},
      {{"192.168.0.3", "192.168.0.4"}, "192.168.0.3"}, {{"10.0.0.1", "172.16.0.1"}, "10.0.0.1"},
  };
  for (const auto& [pair, first] : orders) EXPECT_EQ(Collect({Adapter(pair.first), Adapter(pair.second)})[0], first) << pair.first;
}

}  // namespace
}  // namespace orv
