#include "probes/antivirus_products.h"

#include <optional>

#include "platform/wmi.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kSecurityCenter = "root\\SecurityCenter2";
constexpr const char* kDefenderNamespace = "root\\Microsoft\\Windows\\Defender";
constexpr const char* kDefenderName = "Microsoft Defender Antivirus";
constexpr const char* kMissing = "-";

// productState: bits 12 and 13 the scanner (0 off, 1 on, 2 snoozed, 3 expired), bit 4 set when
// the definitions are out of date, bit 8 set for Windows' own product.
constexpr uint32_t kScannerShift = 12, kScannerMask = 0x3, kOutOfDate = 0x10, kWindowsOwn = 0x100;

std::optional<std::string> Property(const WmiInstance& instance, const char* name) {
  for (const WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return p.isNull ? std::string() : Trim(RenderWmiValue(p));
  return std::nullopt;
}

std::string OrMissing(const std::optional<std::string>& s) { return s && !s->empty() ? *s : kMissing; }

std::optional<bool> Flag(const WmiInstance& instance, const char* name) {
  auto text = Property(instance, name);
  if (!text || text->empty()) return std::nullopt;
  if (SameTextIgnoringCase(*text, "True")) return true;
  if (SameTextIgnoringCase(*text, "False")) return false;
  return std::nullopt;
}

// "20250311015218.000000+000" (a CIM date-time) -> "2025/03/11"; the never-set 1601 date is none.
std::string SignatureDate(const std::optional<std::string>& dmtf) {
  if (!dmtf || dmtf->size() < 8) return kMissing;
  const std::string d = dmtf->substr(0, 8);
  for (char c : d)
    if (c < '0' || c > '9') return kMissing;
  if (StartsWith(d, "1601")) return kMissing;
  return d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2);
}

std::string DefenderState(const WmiInstance& status) {
  auto enabled = Flag(status, "AntivirusEnabled");
  if (!enabled) return kMissing;
  if (!*enabled) return "無効";
  auto realTime = Flag(status, "RealTimeProtectionEnabled");
  return realTime && !*realTime ? "リアルタイム保護無効" : "有効";
}

std::string DefenderText(const WmiInstance& status) {
  return std::string(kDefenderName) + " " + OrMissing(Property(status, "AMProductVersion")) + " " +
         DefenderState(status) + " 定義 " + OrMissing(Property(status, "AntivirusSignatureVersion")) + " " +
         SignatureDate(Property(status, "AntivirusSignatureLastUpdated"));
}

bool IsDefender(const std::string& name, std::optional<int64_t> state) {
  return Contains(name, "Defender") || (state && (static_cast<uint64_t>(*state) & kWindowsOwn) != 0);
}

}  // namespace

std::string ProductStateText(uint32_t productState) {
  static const char* const kScanner[] = {"無効", "有効", "スヌーズ", "期限切れ"};
  return std::string(kScanner[(productState >> kScannerShift) & kScannerMask]) + " 定義 " +
         ((productState & kOutOfDate) ? "古い" : "最新");
}

std::vector<std::string> AntiVirusProducts(IWmi& wmi) {
  WmiRequest defender;
  defender.wmiNamespace = kDefenderNamespace;
  defender.text = "SELECT * FROM MSFT_MpComputerStatus";
  std::optional<std::string> defenderText;
  if (auto status = wmi.Query(defender); status && !status->empty()) defenderText = DefenderText(status->front());

  WmiRequest center;
  center.wmiNamespace = kSecurityCenter;
  center.text = "SELECT * FROM AntiVirusProduct";
  std::vector<std::string> products;
  bool defenderListed = false;
  if (auto listed = wmi.Query(center)) {
    for (const WmiInstance& product : *listed) {
      const std::string name = OrMissing(Property(product, "displayName"));
      const std::optional<int64_t> state = ParseInt64(Property(product, "productState").value_or(""));
      if (defenderText && IsDefender(name, state)) {
        products.push_back(*defenderText);
        defenderListed = true;
      } else {
        products.push_back(name + " " + (state ? ProductStateText(static_cast<uint32_t>(*state)) : "- 定義 -"));
      }
    }
  }
  if (defenderText && !defenderListed) products.push_back(*defenderText);
  return products;
}

std::vector<std::string> AntivirusWordValues(IWmi* wmi, int count) {
  std::vector<std::string> values;
  if (wmi) values = AntiVirusProducts(*wmi);
  values.resize(static_cast<size_t>(count > 0 ? count : 0));
  return values;
}

}  // namespace orv
