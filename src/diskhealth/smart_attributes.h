#pragma once
// The attribute vocabulary (English and Japanese names), the judgement of one attribute slot, the
// temperature taken from attribute 194, and the "status/current/worst/threshold" cell text.

#include <array>
#include <cstdint>
#include <string>

#include "diskhealth/smart_result.h"

namespace orv {

// Judgement texts of a slot.
inline constexpr const char* kStatusNone = "-";
inline constexpr const char* kStatusOk = "OK";
inline constexpr const char* kStatusWarning = "警戒";
inline constexpr const char* kStatusFailure = "故障";
inline constexpr const char* kStatusPastFailure = "過去に故障";

// English name of an attribute id: ids 1..12 and 192..250 from the table (an id of that range
// without an entry gives ""), every other id "Unknown".
std::string EnglishAttrNames(int id);
// Japanese name: ids 1..15 and 192..250 from the table; "" for every id without an entry.
std::string JapaneseAttrNames(int id);
// True for the ids the history and the status screen show (1..15 and 192..250).
bool IsLoggedAttrId(int id);

// Judges slot `i` of `r` (id, flags, current, worst, threshold already filled): sets AttrStatus
// and counts failures and warnings.
void JudgeAttribute(TSmartResult& r, int i);

// Attribute 194 of slot `i`: current temperature from raw byte 0, lowest from byte 2, highest from
// byte 4, or the slot's worst value when byte 0 equals the slot's current value.
void TakeTemperature(TSmartResult& r, int i, const std::array<uint8_t, 6>& raw);

// AttrStatus + "/" + Current + "/" + Worst + "/" + Threshold of the first slot with `id`;
// "" when no slot has it.
std::string AttrCell(const TSmartResult& r, int id);

// Index of the first slot with `id`, or -1.
int FindSlot(const TSmartResult& r, int id);

}  // namespace orv
