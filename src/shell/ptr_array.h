// PtrArray: the growable pointer array behind every list of the game. Whether a list owns
// its items is decided by its user: DeleteAll deletes them, destruction alone never does.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/video/ddraw.h"

// How an owning list gets rid of an item. Surfaces are reference counted.
template <typename T>
struct PtrArrayDeleter {
  static void Delete(T* item) { delete item; }
};
template <>
struct PtrArrayDeleter<Surface> {
  static void Delete(Surface* item) { item->Release(); }
};

template <typename T>
class PtrArray {
 public:
  explicit PtrArray(int32_t capacity = 1) : capacity_(capacity > 0 ? capacity : 0) {
    if (capacity_ > 0) items_ = new T*[capacity_]();
  }
  ~PtrArray() { delete[] items_; }
  PtrArray(const PtrArray&) = delete;
  PtrArray& operator=(const PtrArray&) = delete;

  T* Append(T* item) {
    if (count_ == capacity_) Grow(capacity_ > 0 ? capacity_ * 2 : 1);
    items_[count_++] = item;
    return item;
  }

  T* SetAt(T* item, int32_t index) {
    if (index < 0) return nullptr;
    if (capacity_ < index + 1) Grow(index + 1);
    items_[index] = item;
    return item;
  }

  // Indices outside the item array give null instead of reading past it.
  T* GetAt(int32_t index) const {
    if (index < 0 || index >= capacity_) return nullptr;
    return items_[index];
  }

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  int32_t Cursor() const { return cursor_; }
  void SetCursor(int32_t cursor) { cursor_ = cursor; }

  T* Find(const T* item) const {
    for (int32_t i = 0; i < count_; ++i)
      if (items_[i] == item) return items_[i];
    return nullptr;
  }

  void Remove(const T* item) {
    int32_t i = 0;
    while (i < count_ && items_[i] != item) ++i;
    if (i == count_) return;
    --count_;
    for (int32_t j = i; j < count_; ++j) items_[j] = items_[j + 1];
    items_[count_] = nullptr;
    if (cursor_ >= i) --cursor_;
  }

  void DeleteAll() {
    for (int32_t i = 0; i < count_; ++i) {
      if (items_[i]) PtrArrayDeleter<T>::Delete(items_[i]);
      items_[i] = nullptr;
    }
    count_ = 0;
    cursor_ = 0;
  }

 private:
  void Grow(int32_t n) {
    T** bigger = new T*[n]();
    if (items_) std::memcpy(bigger, items_, sizeof(T*) * capacity_);
    delete[] items_;
    items_ = bigger;
    capacity_ = n;
  }

  int32_t count_ = 0;
  int32_t capacity_ = 0;
  int32_t cursor_ = 0;
  T** items_ = nullptr;
};

// A sprite's frames.
using FrameList = PtrArray<Surface>;
