#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Bytes between two inaccessible pages, flush against one of them, so that a
// write even one byte past that end faults at once; past the other end it
// faults once it leaves the page. All the accessible pages hold a sentinel,
// so that a stray write short of a guard page shows up when compared.
class GuardedRegion {
public:
    static constexpr uint8_t kSentinel = 0xA5;

    GuardedRegion(size_t size, bool flushLow) : size_(size) {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        inside_ = (size + page_ - 1) / page_ * page_;
        if (inside_ == 0)
            inside_ = page_;
        void* mapping = mmap(nullptr, inside_ + 2 * page_, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED)
            std::abort();
        mapping_ = static_cast<uint8_t*>(mapping);
        if (mprotect(mapping_, page_, PROT_NONE) != 0 ||
            mprotect(mapping_ + page_ + inside_, page_, PROT_NONE) != 0) {
            std::abort();
        }
        bytes_ = flushLow ? mapping_ + page_ : mapping_ + page_ + inside_ - size_;
        Clear();
    }
    ~GuardedRegion() { munmap(mapping_, inside_ + 2 * page_); }
    GuardedRegion(const GuardedRegion&) = delete;
    GuardedRegion& operator=(const GuardedRegion&) = delete;

    // The region, and all the accessible pages around it.
    uint8_t* Bytes() { return bytes_; }
    const uint8_t* Pages() const { return mapping_ + page_; }
    size_t PagesSize() const { return inside_; }

private:
    void Clear() { std::memset(mapping_ + page_, kSentinel, inside_); }

    size_t size_;
    size_t page_;
    size_t inside_;
    uint8_t* mapping_;
    uint8_t* bytes_;
};
