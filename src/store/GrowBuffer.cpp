#include "store/GrowBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace varnex {
namespace {

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // Linux's number, where the C library's headers are older
#endif

size_t pageBytes()
{
    static const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return page;
}

size_t pageRounded(size_t n)
{
    const size_t page = pageBytes();
    return (n + page - 1) / page * page;
}

}  // namespace

GrowBuffer::~GrowBuffer()
{
    clear();
}

GrowBuffer::GrowBuffer(GrowBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      written_(std::exchange(other.written_, 0))
{
}

GrowBuffer& GrowBuffer::operator=(GrowBuffer&& other) noexcept
{
    if (this != &other) {
        clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        written_ = std::exchange(other.written_, 0);
    }
    return *this;
}

void GrowBuffer::clear()
{
    if (data_)
        munmap(data_, capacity_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
    written_ = 0;
}

bool GrowBuffer::appendLeavingZeros(const void* bytes, size_t n)
{
    const size_t untouched = std::max(size_, written_);
    uint8_t* at = extend(n);
    if (!at)
        return false;
    const auto* from = static_cast<const uint8_t*>(bytes);
    const size_t start = static_cast<size_t>(at - data_);
    const size_t mayHoldBytes = untouched > start ? std::min(n, untouched - start) : 0;
    if (mayHoldBytes > 0)
        std::memcpy(at, from, mayHoldBytes);
    if (std::any_of(from + mayHoldBytes, from + n, [](uint8_t b) { return b != 0; }))
        std::memcpy(at + mayHoldBytes, from + mayHoldBytes, n - mayHoldBytes);
    return true;
}

bool GrowBuffer::reserve(size_t capacity)
{
    capacity = pageRounded(capacity);
    if (capacity <= capacity_)
        return true;
    void* grown = data_ ? mremap(data_, capacity_, capacity, MREMAP_MAYMOVE)
                        : mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (grown == MAP_FAILED)
        return false;
    data_ = static_cast<uint8_t*>(grown);
    capacity_ = capacity;
    return true;
}

uint8_t* GrowBuffer::extendForRead(size_t n)
{
    uint8_t* at = extend(n);
    if (!at)
        return nullptr;
    // The whole pages among the bytes; a page written before is passed over at little cost.
    // Where the system cannot map them ahead (before Linux 5.14), the read faults them in.
    const uintptr_t page = pageBytes();
    const uintptr_t first = (reinterpret_cast<uintptr_t>(at) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(at) + n) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, kPopulateWrite);
    return at;
}

uint8_t* GrowBuffer::extendSlowly(size_t n)
{
    // Always mapped after the first call, so that even an empty extension has an address.
    if ((size_ + n > capacity_ || !data_) && !reserve(std::max(size_ + n, capacity_ + capacity_ / 2 + 65536)))
        return nullptr;
    uint8_t* at = data_ + size_;
    size_ += n;
    return at;
}

}  // namespace varnex
