// The probes that read the registry: installed programs and updates, the update branch of old
// Windows versions, the anti-virus status (the cases are in tests/data/cases/probes_software.txt and
// probes_antivirus.txt); and two texts of the network probes.
#include "probes/software.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "probes/network_info.h"
#include "probes/windows_info.h"
#include "regscript/registry_ex.h"
#include "util/text.h"

namespace orv {
namespace {

// The key that the cases name by a short name (tests/data/cases/probes_registry_keys.txt).
std::string KeyPath(const std::string& shortName) {
  static std::map<std::string, std::string> keys;
  if (keys.empty())
    for (const test::Case& c : test::LoadCases("probes_registry_keys.txt")) keys[c[0]] = c[1];
  return keys.at(shortName);
}

// The registry and files of a case: its fields from `first` on, each "KEY NAME TYPE VALUE" (KEY a
// short name of KeyPath(), optionally /SUBKEY, and @32 for the 32-bit view) or "file yyyy,m,d,h,m,s PATH".
// The probes read it through `reg`, rooted at HKEY_LOCAL_MACHINE.
struct Machine {
  test::FakeRegistry registry;
  test::FakeFiles files;
  TRegistryEx reg{registry};

  explicit Machine(const test::Case& c, size_t first = 2) {
    for (size_t i = first; i < c.fields.size(); ++i) Put(c[i]);
    reg.SetRootKey(RegRoot::LocalMachine);
  }
  void Put(const std::string& field) {
    std::istringstream in(field);
    std::string key, name, type, value;
    in >> key >> name;
    if (key == "file") {
      std::getline(in >> std::ws, value);
      files.Put(value, "log");
      std::vector<int> t;
      for (const std::string& part : Split(name, ',')) t.push_back(std::stoi(part));
      files.writeTimes[LowerCase(value)] = {t.at(0), t.at(1), t.at(2), t.at(3), t.at(4), t.at(5)};
      return;
    }
    in >> type;
    std::getline(in >> std::ws, value);
    const bool wow32 = EndsWith(key, "@32");
    if (wow32) key.resize(key.size() - 3);
    std::replace(key.begin(), key.end(), '/', '\\');
    const size_t slash = key.find('\\');
    const std::string path =
        KeyPath(key.substr(0, slash)) + (slash == std::string::npos ? "" : key.substr(slash));
    test::FakeRegistry::Key& k = registry.AddKey(path, wow32 ? RegView::Wow32 : RegView::Native);
    RegValue v;
    v.type = type == "dword" ? regtype::Dword : type == "binary" ? regtype::Binary
           : type == "expand" ? regtype::ExpandString : regtype::String;
    if (type == "dword") v.number = static_cast<uint32_t>(std::stoul(value));
    else if (type == "binary")
      for (const std::string& byte : Split(value, ','))
        v.bytes.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
    else v.text = value;
    if (type == "denied") k.denyOpen = true;
    else k.values.emplace_back(name, v);
  }
};

TEST(InstalledSoftware, ProgramsUpdatesAndTheNewestUpdateDate) {
  for (const test::Case& c : test::LoadCases("probes_software.txt")) {
    std::string have;
    if (c[0] == "version-number") {
      have = std::to_string(VersionToNumber(c[2]));
    } else if (c[0] == "sort") {
      std::vector<std::string> list = Split(c[2], ';');
      SortTextList(list);
      have = Join(list, ";");
    } else if (c[0] == "update-dates") {
      Machine m(c);
      std::vector<std::string> dates;
      CollectUpdateDates(m.reg, "\\Software\\Microsoft\\Updates", dates);
      have = Join(dates, ";");
    } else {
      Machine m(c);
      std::vector<std::string> programs{"left over"}, patches{"left over"};
      const std::string date = CollectInstalledSoftware(m.reg, programs, patches);
      have = c[0] == "date" ? date : Join(c[0] == "programs" ? programs : patches, ";");
    }
    EXPECT_EQ(have, c[1]) << c.where;
  }
}

TEST(AntiVirus, SevenItemsFromTheRegistryOfBothProductLines) {
  for (const test::Case& c : test::LoadCases("probes_antivirus.txt")) {
    Machine m(c, 1);
    std::vector<std::string> items;
    GetAntiVirusStatus(m.reg, m.files, [&items](const std::string& v) { items.push_back(v); });
    EXPECT_FALSE(m.reg.HasOpenKey()) << c.where;  // the caller's registry is left as it was
    EXPECT_EQ(Join(items, ";"), c[0]) << c.where;
  }
}

// What nothing else shows of the network probes: the dial-up text without its library, and the
// dialog of a name service that does not start.
TEST(NetworkProbes, NoDialUpLibraryAndNoNameService) {
  test::FakePlatform p;
  p.network.dialUp.status = DialUpList::Status::LibraryMissing;
  EXPECT_EQ(EnumDialUpEntries(p.network), "rasapi32.dll not found.");
  p.network.hosts[""] = HostLookup{HostLookup::Status::StartupFailed, {}};
  EXPECT_EQ(GetHostAddress(p.dialogs, p.network, ""), "");
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].text, "Error Occured");
}

}  // namespace
}  // namespace orv
