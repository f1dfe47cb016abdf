#pragma once
// The anti-virus products Windows knows: Security Center's list (root\SecurityCenter2, absent on
// Windows Server) and Microsoft Defender's own status (root\Microsoft\Windows\Defender). One text
// per product, in a fixed form so that the values compare across the PCs of a fleet table:
//   Security Center:  "<displayName> <状態> 定義 <最新|古い>"
//   Defender:         "Microsoft Defender Antivirus <product version> <状態> 定義 <signature version> <yyyy/mm/dd>"
// 状態 is "有効" (on), "無効" (off), "スヌーズ" (snoozed), "期限切れ" (expired), and for Defender
// also "リアルタイム保護無効" (on, real-time protection off). A part Windows does not give is "-".

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

class IWmi;

// "有効 定義 最新" ... for a Security Center productState.
std::string ProductStateText(uint32_t productState);
// Security Center's products in its order, Defender's entry given in Defender's own detail when
// Defender answers; Defender alone where there is no Security Center. Empty when neither answers.
std::vector<std::string> AntiVirusProducts(IWmi& wmi);
// The script word "#antivirus n": exactly `count` values, the products then empty values. `wmi`
// may be null (no WMI).
std::vector<std::string> AntivirusWordValues(IWmi* wmi, int count);

}  // namespace orv
