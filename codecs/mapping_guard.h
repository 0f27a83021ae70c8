#pragma once

#include <cstddef>

// Watches a read-only file mapping while a reader uses it. When the file shrinks under the reader
// (another program truncates or rewrites it) or its storage fails, touching a lost page raises
// SIGBUS, which would end the process. While a mapping is watched, the fault on it is turned into
// a page of zeros in that place and a mark: the reader runs on over zeros, and its caller, seeing
// the mark, reports the file as unreadable. Faults anywhere else go on to whatever handled SIGBUS
// before.
class MappingGuard
{
public:
    MappingGuard() = default;

    ~MappingGuard() { release(); }

    MappingGuard(const MappingGuard &) = delete;
    MappingGuard &operator=(const MappingGuard &) = delete;

    // Starts watching size bytes from begin (the address mmap gave). False when too many mappings
    // are watched at once; the caller must then not read the mapping.
    bool watch(const void *begin, std::size_t size);
    // Stops watching; call before the mapping goes.
    void release();
    // Whether a page of the mapping was lost since watch().
    bool faulted() const;

private:
    int slot = -1;
};
