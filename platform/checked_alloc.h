#pragma once
#include <cstddef>
#include <utility>

// The one allocator for the plug-in's own blocks. It refuses when less than
// 64 KiB of address space remain, so that the host keeps room to report errors.
void* checkedAlloc(size_t bytes);

void checkedFreeRaw(void* raw);

// Frees a block from checkedAlloc (null is fine) and nulls the caller's pointer.
template <typename T> void checkedFree(T*& block) {
    checkedFreeRaw(static_cast<void*>(block));
    block = nullptr;
}

// A block from checkedAlloc that frees itself. Empty when the allocator
// refused, so that the caller can answer that it is out of memory or work
// without it.
class CheckedBuffer {
  public:
    CheckedBuffer() = default;
    explicit CheckedBuffer(size_t bytes) : block_(checkedAlloc(bytes)) {}
    ~CheckedBuffer() { checkedFreeRaw(block_); }
    CheckedBuffer(CheckedBuffer&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    CheckedBuffer& operator=(CheckedBuffer&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }
    CheckedBuffer(const CheckedBuffer&) = delete;
    CheckedBuffer& operator=(const CheckedBuffer&) = delete;

    void* get() const { return block_; }
    template <typename T> T* as() const { return static_cast<T*>(block_); }
    explicit operator bool() const { return block_ != nullptr; }
    void reset() { *this = CheckedBuffer(); }

  private:
    void* block_ = nullptr;
};

// Tests drive the refusal path: after `allowed` more successful allocations
// every request is refused; a negative value lifts the limit.
void setCheckedAllocLimitForTesting(long allowed);
