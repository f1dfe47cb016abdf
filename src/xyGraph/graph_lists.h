#pragma once
// Growable typed lists behind the chart's axes and series. TDynamicList keeps Count and
// Capacity; its kinds keep Doubles (with cached extremes), pixel points and Integers.

#include <cstdint>
#include <exception>
#include <iosfwd>
#include <string>
#include <vector>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

// The list errors: an index outside 0 .. Count - 1, a capacity out of bounds, a short stream.
class EListError : public std::exception {
 public:
  explicit EListError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class TDynamicList {
 public:
  // The largest capacity a list may have.
  static constexpr int MaxListSize = 268435455;

  virtual ~TDynamicList() = default;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  // Raises EListError for a capacity above MaxListSize or below Count.
  void SetCapacity(int capacity);
  // Empties the list and releases its block.
  virtual void Clear();

 protected:
  TDynamicList() = default;
  TDynamicList(const TDynamicList&) = default;
  TDynamicList& operator=(const TDynamicList&) = default;

  // Makes room for one more item: a full list grows by 16 while its capacity is below 65,
  // else by a quarter of its capacity.
  void GrowForOneMore();
  void CheckIndex(int index) const;
  virtual void Reallocate(int capacity) = 0;

  int count_ = 0;
  int capacity_ = 0;
};

template <typename T>
class TTypedList : public TDynamicList {
 public:
  int Add(const T& value) {
    GrowForOneMore();
    items_[static_cast<size_t>(count_)] = value;
    return count_++;
  }
  const T& Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
  }
  void Put(int index, const T& value) {
    CheckIndex(index);
    items_[static_cast<size_t>(index)] = value;
  }
  void Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    items_.resize(static_cast<size_t>(capacity_));
    --count_;
  }
  const T& operator[](int index) const { return Get(index); }

 protected:
  void Reallocate(int capacity) override { items_.resize(static_cast<size_t>(capacity)); }
  std::vector<T> items_;  // the item block: Capacity items, of which the first Count are used
};

// Pixel points.
class TGraphPointList : public TTypedList<TGraphPoint> {};

// Integers.
class TGraphIntegerList : public TTypedList<int> {};

// Doubles, with the current minimum and maximum and their indices kept up to date.
class TGraphValueList : public TDynamicList {
 public:
  int Add(double value);
  double Get(int index) const;
  void Put(int index, double value);
  void Delete(int index);
  void Clear() override;
  void Assign(const TGraphValueList& source);
  void Sort();
  double operator[](int index) const { return Get(index); }

  // Extremes of the list; 0 with index -1 when it is empty.
  double Min() const { return count_ ? items_[static_cast<size_t>(minIndex_)] : 0.0; }
  double Max() const { return count_ ? items_[static_cast<size_t>(maxIndex_)] : 0.0; }
  int MinIndex() const { return count_ ? minIndex_ : -1; }
  int MaxIndex() const { return count_ ? maxIndex_ : -1; }

  // Index of a value equal to `value`, or -1.
  int IndexOf(double value) const;
  std::vector<double> Values() const;

  // Stream form: the count as 4 bytes little-endian, then the values as 8-byte IEEE doubles,
  // little-endian. Reading replaces the contents and recomputes the extremes; a short stream
  // raises EListError and leaves the list as it was.
  void WriteTo(std::ostream& out) const;
  void ReadFrom(std::istream& in);

 protected:
  void Reallocate(int capacity) override { items_.resize(static_cast<size_t>(capacity)); }

 private:
  void RecomputeExtremes();

  std::vector<double> items_;
  int minIndex_ = 0;
  int maxIndex_ = 0;
};

}  // namespace orv::xy
