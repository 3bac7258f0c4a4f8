#pragma once
// Replaces the global allocation functions of the one test program whose
// test file includes this header (include it in exactly one source file):
// it counts the bytes in use and their peak, and can make an allocation fail
// on purpose. Memory that Qt or C code takes with malloc is not counted.

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace heapprobe {

namespace detail {

inline std::atomic<long long> live { 0 };
inline std::atomic<long long> peak { 0 };
// Allocations left before one fails; 0 none is to fail.
inline std::atomic<long> failIn { 0 };

// Room in front of each block for its size, keeping the block aligned.
constexpr std::size_t kHeader = alignof(std::max_align_t);

inline void* Allocate(std::size_t size) noexcept
{
    if (failIn.load() > 0 && failIn.fetch_sub(1) == 1)
        return nullptr;
    void* base = std::malloc(size + kHeader);
    if (!base)
        return nullptr;
    *static_cast<std::size_t*>(base) = size;
    const long long now = live += static_cast<long long>(size);
    long long seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) { }
    return static_cast<char*>(base) + kHeader;
}

inline void Release(void* block) noexcept
{
    if (!block)
        return;
    char* base = static_cast<char*>(block) - kHeader;
    live -= static_cast<long long>(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}

} // namespace detail

// Starts a new peak from what is in use now; returns that amount.
inline long long ResetPeak()
{
    detail::peak = detail::live.load();
    return detail::peak;
}
inline long long Peak()
{
    return detail::peak;
}
// The n-th allocation from now fails (1: the next one); 0 disarms.
inline void FailIn(long n)
{
    detail::failIn = n;
}
// True when an armed failure has not happened yet.
inline bool FailurePending()
{
    return detail::failIn.load() > 0;
}

} // namespace heapprobe

void* operator new(std::size_t size)
{
    if (void* block = heapprobe::detail::Allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return heapprobe::detail::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return heapprobe::detail::Allocate(size);
}
void operator delete(void* block) noexcept
{
    heapprobe::detail::Release(block);
}
void operator delete[](void* block) noexcept
{
    heapprobe::detail::Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    heapprobe::detail::Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    heapprobe::detail::Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    heapprobe::detail::Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    heapprobe::detail::Release(block);
}
