// Memory the speech service hands out with CoTaskMemAlloc, freed with
// CoTaskMemFree when its holder goes.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace quill {

// Holds one CoTaskMemAlloc block (or none).
template <typename T>
class CoTaskPtr {
 public:
  CoTaskPtr() = default;
  ~CoTaskPtr() { CoTaskMemFree(memory_); }
  CoTaskPtr(const CoTaskPtr&) = delete;
  CoTaskPtr& operator=(const CoTaskPtr&) = delete;

  T* get() const { return memory_; }
  explicit operator bool() const { return memory_ != nullptr; }
  T* release() { return std::exchange(memory_, nullptr); }
  // Frees the block held and returns where a call writes the next one.
  T** put() {
    CoTaskMemFree(std::exchange(memory_, nullptr));
    return &memory_;
  }

 private:
  T* memory_ = nullptr;
};

using CoTaskText = CoTaskPtr<wchar_t>;

}  // namespace quill
