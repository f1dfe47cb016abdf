#pragma once
// The chart's errors: EXYGraphAxisError (axes) and EXYGraphSeriesError (series), both
// EXYGraphError, with fixed Japanese messages.

#include <exception>
#include <string>

namespace orv::xy {

class EXYGraphError : public std::exception {
 public:
  explicit EXYGraphError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class EXYGraphAxisError : public EXYGraphError {
 public:
  using EXYGraphError::EXYGraphError;
};

class EXYGraphSeriesError : public EXYGraphError {
 public:
  using EXYGraphError::EXYGraphError;
};

// The axis messages.
namespace axis_messages {
inline constexpr const char* kRange = "軸の範囲を超えています";
inline constexpr const char* kLogRange = "対数目盛では軸の範囲はゼロより大きくないといけません";
inline constexpr const char* kOriginBelowMin = "軸の交点の値が最小値以下です";
inline constexpr const char* kOriginAboveMax = "軸の交点の値が最大値を超えています";
inline constexpr const char* kCannotLog = "最小値がゼロ以下のため、対数目盛にできません";
inline constexpr const char* kNegative = "負の値は無効です";
inline constexpr const char* kStepNotPositive = "目盛間隔はゼロ以下に設定できません";
inline constexpr const char* kStepBeyondRange = "目盛間隔が軸の範囲を超えています";
inline constexpr const char* kStepTooSmall = "目盛間隔が小さすぎます";
inline constexpr const char* kLogValue = "対数目盛で値がゼロ以下です";
}  // namespace axis_messages

}  // namespace orv::xy
