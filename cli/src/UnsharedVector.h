// A growable array of plain values in memory that forked block processes do
// not inherit (platform::AllocateUnshared): the main process fills the next
// block's arrays while block processes run, without a page copy per page it
// writes. A block process sees a block's arrays when they are named at its
// fork (Block::memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "foundation/Platform.h"

namespace qv::cli {

// Whether forked block processes read an array (Block::memory) throughout: its
// memory may then come in larger pieces, which a new process touches more
// cheaply.
enum class ReadBy { MainOnly, Children };

template <typename T>
class UnsharedVector {
  static_assert(std::is_trivially_copyable_v<T>, "values are moved with memcpy");

 public:
  UnsharedVector() = default;
  explicit UnsharedVector(ReadBy readBy) : readByChildren_(readBy == ReadBy::Children) {}
  UnsharedVector(const UnsharedVector& other) : readByChildren_(other.readByChildren_) {
    append(other.data(), other.size());
  }
  UnsharedVector(UnsharedVector&& other) noexcept { swap(other); }
  UnsharedVector& operator=(UnsharedVector other) noexcept {
    swap(other);
    return *this;
  }
  ~UnsharedVector() { platform::FreeUnshared(data_, capacity_ * sizeof(T)); }

  void swap(UnsharedVector& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(readByChildren_, other.readByChildren_);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& back() { return data_[size_ - 1]; }

  void push_back(const T& value) {
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = value;
  }
  void append(const T* values, std::size_t count) {
    if (count == 0) return;
    if (count > capacity_ - size_) grow(size_ + count);
    std::memcpy(data_ + size_, values, count * sizeof(T));
    size_ += count;
  }
  // Drops the values from size on.
  void truncate(std::size_t size) {
    if (size < size_) size_ = size;
  }
  void clear() { size_ = 0; }
  // Values past the old size hold whatever the memory held (a buffer that is
  // filled before it is read).
  void resize(std::size_t size) {
    reserve(size);
    size_ = size;
  }
  void reserve(std::size_t count) {
    if (count > capacity_) grow(count);
  }

  // The whole allocation, for platform::ForkChild.
  platform::MemoryRange memory() const { return {data_, capacity_ * sizeof(T)}; }

 private:
  // At least doubles; the platform rounds the size up so that a freed array
  // fits the next block's again, and all of it is used.
  void grow(std::size_t count) {
    const std::size_t wanted = count > 2 * capacity_ ? count : 2 * capacity_;
    if (wanted > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = platform::UnsharedSize(wanted * sizeof(T), readByChildren_);
    T* fresh = static_cast<T*>(platform::AllocateUnshared(bytes));
    if (!fresh) throw std::bad_alloc();
    if (size_ > 0) std::memcpy(fresh, data_, size_ * sizeof(T));
    platform::FreeUnshared(data_, capacity_ * sizeof(T));
    data_ = fresh;
    capacity_ = bytes / sizeof(T);
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool readByChildren_ = false;
};

// An allocator of the same memory, for containers of values that own more
// (the results of a block).
template <typename T>
struct UnsharedAllocator {
  using value_type = T;
  UnsharedAllocator() = default;
  template <typename U>
  UnsharedAllocator(const UnsharedAllocator<U>&) {}
  T* allocate(std::size_t n) {
    void* p = platform::AllocateUnshared(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) { platform::FreeUnshared(p, n * sizeof(T)); }
  template <typename U>
  bool operator==(const UnsharedAllocator<U>&) const {
    return true;
  }
  template <typename U>
  bool operator!=(const UnsharedAllocator<U>&) const {
    return false;
  }
};

}  // namespace qv::cli
