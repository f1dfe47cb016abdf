#include "xyGraph/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orv::xy {

namespace {

// A value that rounds to zero reads "0", not "-0".
std::string WithoutNegativeZero(std::string text) {
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string StripFractionZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

std::string FormatGeneral(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? "0" : std::to_string(value);
  digits = std::clamp(digits, 1, 18);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  std::string s = buf;
  size_t e = s.find('e');
  int exponent = std::atoi(s.c_str() + e + 1);
  if (exponent >= digits || exponent < -5) {
    std::string mantissa = StripFractionZeros(s.substr(0, e));
    return mantissa + "E" + (exponent < 0 ? "-" : "") + std::to_string(std::abs(exponent));
  }
  std::snprintf(buf, sizeof buf, "%.*f", std::max(0, digits - 1 - exponent), value);
  return WithoutNegativeZero(StripFractionZeros(buf));
}

std::string FormatFixed(double value, int decimals) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 18), value);
  return WithoutNegativeZero(buf);
}

}  // namespace orv::xy
