// The states of anti-virus products that Security Center reports, as seen on real PCs (the
// products themselves are cases of tests/data/cases/probes_wmi.txt).
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/antivirus_products.h"
#include "util/text.h"

namespace orv {
namespace {

using test::ReadTestData;
using Strings = std::vector<std::string>;

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

}  // namespace
}  // namespace orv
