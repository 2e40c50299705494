#pragma once
// A byte buffer for large, growing columns. It lives in its own memory mapping
// and grows with mremap, which moves pages instead of copying them, so a
// growing column never holds its old and new copy at once.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace varnex {

class GrowBuffer {
public:
    GrowBuffer() = default;
    ~GrowBuffer();
    GrowBuffer(GrowBuffer&& other) noexcept;
    GrowBuffer& operator=(GrowBuffer&& other) noexcept;
    GrowBuffer(const GrowBuffer&) = delete;
    GrowBuffer& operator=(const GrowBuffer&) = delete;

    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }
    uint8_t* data() { return data_; }

    // Room for n more bytes at the end; returns where they go (valid until the next growth).
    // Returns nullptr when memory cannot be had.
    uint8_t* extend(size_t n);
    bool append(const void* bytes, size_t n);
    void clear();                      // frees the memory
    void resetSize(size_t size = 0) { size_ = size < size_ ? size : size_; }  // keeps the memory for reuse
    bool reserve(size_t capacity);

    template <class T>
    const T& at(size_t index) const
    {
        return reinterpret_cast<const T*>(data_)[index];
    }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace varnex
