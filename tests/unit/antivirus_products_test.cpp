// The anti-virus products Windows knows, from Security Center and Defender outputs of real PCs.
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/antivirus_products.h"
#include "util/text.h"

namespace orv {
namespace {

using test::ParseWmiListing;
using test::ReadTestData;
using Strings = std::vector<std::string>;

const char kSecurityCenter[] = "root\\SecurityCenter2\\AntiVirusProduct";
const char kDefender[] = "root\\Microsoft\\Windows\\Defender\\MSFT_MpComputerStatus";

std::vector<WmiInstance> Listing(const std::string& file) { return ParseWmiListing(ReadTestData("wmi/" + file)); }

TEST(AntiVirusProducts, ProductStatesSeenInTheField) {
  // Decimal values of the field list, in its order, and what they say.
  const char* const expected[] = {
      "無効 定義 最新", "無効 定義 古い", "有効 定義 最新", "スヌーズ 定義 最新", "無効 定義 最新", "無効 定義 古い",
      "有効 定義 最新", "無効 定義 最新", "無効 定義 最新", "無効 定義 古い", "無効 定義 最新", "無効 定義 古い",
      "有効 定義 最新", "有効 定義 古い", "有効 定義 最新", "有効 定義 古い"};
  size_t i = 0;
  for (const std::string& line :
       SplitLines(ReadTestData("wmi/securitycenter2_productstate_values_10000-endpoints_stackoverflow-4700897_TRUNCATED.txt"))) {
    auto state = ParseInt64(Split(line, ',')[0]);
    if (!state) continue;
    ASSERT_LT(i, std::size(expected));
    EXPECT_EQ(ProductStateText(static_cast<uint32_t>(*state)), expected[i++]) << line;
  }
  EXPECT_EQ(i, std::size(expected));
}

TEST(AntiVirusProducts, ServerDefenderOffBesideAnotherProductAndNone) {
  test::FakeWmi wmi;
  // Windows Server 2022: no Security Center, Defender on and current.
  wmi.classes[kDefender] = test::ParseWmicList(
      ReadTestData("wmi/wmi_msft_mpcomputerstatus_wmic-list_ws2022-azure_glpi-agent-issue868_TRUNCATED.txt"));
  EXPECT_EQ(AntivirusWordValues(&wmi, 2),
            (Strings{"Microsoft Defender Antivirus 4.18.25010.11 有効 定義 1.423.336.0 2025/03/11", ""}));

  // A PC whose Defender stepped back for a third-party product: Security Center lists both.
  wmi.classes[kDefender] =
      Listing("wmi_msft_mpcomputerstatus_formatlist_defender-off-third-party-av-ru_sophia-issue605_TRUNCATED.txt");
  std::vector<WmiInstance> center =
      Listing("wmi_securitycenter2_antivirusproduct_wmic-list_win10-1709-fsecure_fusioninventory-issue501_TRUNCATED.txt");
  ASSERT_EQ(center.size(), 1u);
  center[0].properties.push_back(test::ScalarProperty("productState", 19, int64_t{266240}));
  center.push_back({{test::ScalarProperty("displayName", 8, std::string("Windows Defender")),
                     test::ScalarProperty("productState", 19, int64_t{393472})}});
  wmi.classes[kSecurityCenter] = center;
  EXPECT_EQ(AntiVirusProducts(wmi), (Strings{"F-Secure Client Security 12.00 有効 定義 最新",
                                             "Microsoft Defender Antivirus 4.18.24090.11 無効 定義 - -"}));
  // Without Defender's own status its Security Center entry stands as it is.
  wmi.failing.insert(kDefender);
  EXPECT_EQ(AntiVirusProducts(wmi)[1], "Windows Defender 無効 定義 最新");

  wmi.down = true;
  EXPECT_EQ(AntivirusWordValues(&wmi, 1), Strings{""});
}

}  // namespace
}  // namespace orv
