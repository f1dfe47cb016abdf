#include "xyGraph/graph_lists.h"

#include <algorithm>
#include <bit>
#include <istream>
#include <ostream>

namespace orv::xy {

void TDynamicList::SetCapacity(int capacity) {
  if (capacity > MaxListSize || capacity < count_)
    throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
  if (capacity != capacity_) {
    Reallocate(capacity);
    capacity_ = capacity;
  }
}

void TDynamicList::Clear() {
  count_ = 0;
  SetCapacity(0);
}

void TDynamicList::GrowForOneMore() {
  if (count_ < capacity_) return;
  int delta = capacity_ < 65 ? 16 : capacity_ / 4;
  SetCapacity(capacity_ + delta);
}

void TDynamicList::CheckIndex(int index) const {
  if (index < 0 || index >= count_) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TGraphValueList::Add(double value) {
  GrowForOneMore();
  ++count_;
  Put(count_ - 1, value);
  return count_ - 1;
}

double TGraphValueList::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)];
}

void TGraphValueList::Put(int index, double value) {
  CheckIndex(index);
  bool wasExtreme = count_ > 1 && (index == minIndex_ || index == maxIndex_);
  items_[static_cast<size_t>(index)] = value;
  if (count_ == 1) {
    minIndex_ = maxIndex_ = index;
    return;
  }
  // Overwriting the value that was an extreme may leave a less extreme one: look again, or the
  // cached extreme would describe a value that is no longer in the list.
  if (wasExtreme) {
    RecomputeExtremes();
    return;
  }
  if (value < items_[static_cast<size_t>(minIndex_)]) minIndex_ = index;
  if (value > items_[static_cast<size_t>(maxIndex_)]) maxIndex_ = index;
}

void TGraphValueList::Delete(int index) {
  CheckIndex(index);
  bool wasExtreme = index == minIndex_ || index == maxIndex_;
  items_.erase(items_.begin() + index);
  items_.resize(static_cast<size_t>(capacity_));
  --count_;
  if (wasExtreme) {
    RecomputeExtremes();
    return;
  }
  if (minIndex_ > index) --minIndex_;
  if (maxIndex_ > index) --maxIndex_;
}

void TGraphValueList::Clear() {
  TDynamicList::Clear();
  minIndex_ = maxIndex_ = 0;
}

void TGraphValueList::Assign(const TGraphValueList& source) {
  if (&source == this) return;
  items_ = source.items_;
  count_ = source.count_;
  capacity_ = source.capacity_;
  minIndex_ = source.minIndex_;
  maxIndex_ = source.maxIndex_;
}

void TGraphValueList::Sort() {
  std::sort(items_.begin(), items_.begin() + count_);
  minIndex_ = 0;
  maxIndex_ = count_ ? count_ - 1 : 0;
}

int TGraphValueList::IndexOf(double value) const {
  for (int i = 0; i < count_; ++i)
    if (items_[static_cast<size_t>(i)] == value) return i;
  return -1;
}

std::vector<double> TGraphValueList::Values() const { return {items_.begin(), items_.begin() + count_}; }

void TGraphValueList::RecomputeExtremes() {
  minIndex_ = maxIndex_ = 0;
  for (int i = 1; i < count_; ++i) {
    if (items_[static_cast<size_t>(i)] < items_[static_cast<size_t>(minIndex_)]) minIndex_ = i;
    if (items_[static_cast<size_t>(i)] > items_[static_cast<size_t>(maxIndex_)]) maxIndex_ = i;
  }
}

void TGraphValueList::WriteTo(std::ostream& out) const {
  auto put = [&out](uint64_t v, int bytes) {
    char b[8];
    for (int i = 0; i < bytes; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    out.write(b, bytes);
  };
  put(static_cast<uint32_t>(count_), 4);
  for (int i = 0; i < count_; ++i) put(std::bit_cast<uint64_t>(items_[static_cast<size_t>(i)]), 8);
}

void TGraphValueList::ReadFrom(std::istream& in) {
  auto get = [&in](int bytes) {
    unsigned char b[8] = {};
    if (!in.read(reinterpret_cast<char*>(b), bytes)) throw EListError("Stream read error");
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[i];
    return v;
  };
  uint32_t n = static_cast<uint32_t>(get(4));
  if (n > static_cast<uint32_t>(MaxListSize))
    throw EListError("List capacity out of bounds (" + std::to_string(n) + ")");
  std::vector<double> values;
  values.reserve(std::min<uint32_t>(n, 1u << 16));
  for (uint32_t i = 0; i < n; ++i) values.push_back(std::bit_cast<double>(get(8)));
  // Only a complete stream replaces the contents.
  items_ = std::move(values);
  count_ = capacity_ = static_cast<int>(n);
  RecomputeExtremes();
}

}  // namespace orv::xy
