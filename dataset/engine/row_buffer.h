#pragma once
// The bytes of a packet while it is written: appending does not zero what is
// about to be written over, a large buffer grows without being copied, and
// the finished bytes are handed over as a vector of their exact size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace dataset {

class RowBuffer {
public:
    RowBuffer() = default;
    ~RowBuffer() { std::free(data_); }
    RowBuffer(const RowBuffer&) = delete;
    RowBuffer& operator=(const RowBuffer&) = delete;

    std::size_t size() const { return size_; }
    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }

    // Room for count more bytes at the end, their contents left to the
    // caller; gives where they start.
    std::uint8_t* grow(std::size_t count) {
        if (capacity_ - size_ < count) {
            reserve(size_ + count);
        }
        std::uint8_t* at = data_ + size_;
        size_ += count;
        return at;
    }

    // The bytes written; the buffer is empty afterwards.
    std::vector<std::uint8_t> take() {
        std::vector<std::uint8_t> bytes(data_, data_ + size_);
        size_ = 0;
        return bytes;
    }

private:
    void reserve(std::size_t needed) {
        std::size_t capacity = capacity_ < kMinCapacity ? kMinCapacity : capacity_;
        while (capacity < needed) {
            capacity *= 2;
        }
        // Bytes need no constructors: realloc may move a large block by
        // remapping its pages instead of copying them.
        void* grown = std::realloc(data_, capacity);
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        data_ = static_cast<std::uint8_t*>(grown);
        capacity_ = capacity;
    }

    static constexpr std::size_t kMinCapacity = 4096;

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace dataset
