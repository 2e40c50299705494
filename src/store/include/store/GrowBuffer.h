#pragma once
// A byte buffer for large, growing columns. It lives in its own memory mapping
// and grows with mremap, which moves pages instead of copying them, so a
// growing column never holds its old and new copy at once. Its pages take memory only once
// written: appendLeavingZeros() keeps a run of zeros (a column's Null flags where it has no
// Nulls) from writing pages that hold nothing else.

#include <cstddef>
#include <cstdint>
#include <algorithm>
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
    uint8_t* extend(size_t n)
    {
        if (size_ + n > capacity_ || !data_)
            return extendSlowly(n);
        uint8_t* at = data_ + size_;
        size_ += n;
        return at;
    }
    // As extend(), for n bytes the kernel is about to write (a read from a pipe): their fresh pages
    // are mapped in by one call, where faulting them in one by one inside the read costs more.
    uint8_t* extendForRead(size_t n);
    bool append(const void* bytes, size_t n)
    {
        uint8_t* at = extend(n);
        if (!at)
            return false;
        if (n)
            std::memcpy(at, bytes, n);
        return true;
    }
    // Room for n more bytes at the end, to be written before grow() takes them in (n at most);
    // nullptr when memory cannot be had.
    uint8_t* room(size_t n)
    {
        if (size_ + n > capacity_ || !data_) {
            if (!extendSlowly(n))
                return nullptr;
            size_ -= n;
        }
        written_ = std::max(written_, size_ + n);
        return data_ + size_;
    }
    void grow(size_t n) { size_ += n; }
    // Appends n bytes, leaving unwritten those zeros that go where the buffer never held a byte.
    bool appendLeavingZeros(const void* bytes, size_t n);
    void clear();                      // frees the memory
    void resetSize(size_t size = 0)    // keeps the memory for reuse
    {
        written_ = std::max(written_, size_);
        size_ = size < size_ ? size : size_;
    }
    bool reserve(size_t capacity);

    template <class T>
    const T& at(size_t index) const
    {
        return reinterpret_cast<const T*>(data_)[index];
    }

private:
    uint8_t* extendSlowly(size_t n);

    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t written_ = 0;  // bytes past both this and size_ were never written: zeros as mapped
};

}  // namespace varnex
