// The anti-virus products Windows knows, from Security Center and Defender outputs of real PCs.
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/antivirus_products.h"
#include "util/text.h"

namespace orv {
namespace {

using test::ReadTestData;
using Strings = std::vector<std::string>;

const char kSecurityCenter[] = "root\\SecurityCenter2\\AntiVirusProduct";
const char kDefender[] = "root\\Microsoft\\Windows\\Defender\\MSFT_MpComputerStatus";

TEST(AntiVirusProducts, ProductStatesSeenInTheField) {
  // The field list's values in its order, each as on/off/snoozed and definitions current or old.
  const std::string expected = "無古有ス無古有無無古無古有古有古";
  std::string have;
  for (const std::string& line :
       SplitLines(ReadTestData("wmi/securitycenter2_productstate_values_10000-endpoints_stackoverflow-4700897_TRUNCATED.txt")))
    if (auto state = ParseInt64(Split(line, ',')[0])) {
      const std::string text = ProductStateText(static_cast<uint32_t>(*state));
      have += EndsWith(text, "古い") ? "古" : CharSubstr(text, 0, 1);
    }
  EXPECT_EQ(have, expected);
  EXPECT_EQ(ProductStateText(0x61110), "有効 定義 古い");
  EXPECT_EQ(ProductStateText(0x43000), "期限切れ 定義 最新");
}

TEST(AntiVirusProducts, ServerDefenderOffBesideAnotherProductAndNone) {
  test::FakeWmi wmi;
  // Windows Server 2022: no Security Center, Defender on and current.
  wmi.classes[kDefender] = test::ParseWmicList(
      ReadTestData("wmi/wmi_msft_mpcomputerstatus_wmic-list_ws2022-azure_glpi-agent-issue868_TRUNCATED.txt"));
  EXPECT_EQ(AntivirusWordValues(&wmi, 2),
            (Strings{"Microsoft Defender Antivirus 4.18.25010.11 有効 定義 1.423.336.0 2025/03/11", ""}));

  // Defender stepped back for a third-party product: Security Center lists both.
  wmi.classes[kDefender] = test::ParseWmiListing(ReadTestData(
      "wmi/wmi_msft_mpcomputerstatus_formatlist_defender-off-third-party-av-ru_sophia-issue605_TRUNCATED.txt"));
  std::vector<WmiInstance> center = test::ParseWmiListing(ReadTestData(
      "wmi/wmi_securitycenter2_antivirusproduct_wmic-list_win10-1709-fsecure_fusioninventory-issue501_TRUNCATED.txt"));
  ASSERT_EQ(center.size(), 1u);
  center[0].properties.push_back(test::ScalarProperty("productState", 19, int64_t{266240}));
  center.push_back(test::ParseWmicList("displayName=Windows Defender\nproductState=393472\n")[0]);
  wmi.classes[kSecurityCenter] = center;
  EXPECT_EQ(AntiVirusProducts(wmi), (Strings{"F-Secure Client Security 12.00 有効 定義 最新",
                                             "Microsoft Defender Antivirus 4.18.24090.11 無効 定義 - -"}));
  wmi.failing.insert(kDefender);  // without Defender's own status its Security Center entry stands
  EXPECT_EQ(AntiVirusProducts(wmi)[1], "Windows Defender 無効 定義 最新");
  wmi.down = true;
  EXPECT_EQ(AntivirusWordValues(&wmi, 1), Strings{""});
}

}  // namespace
}  // namespace orv
