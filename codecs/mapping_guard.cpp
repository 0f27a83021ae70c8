#include "codecs/mapping_guard.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// One per mapping being read at once: the worker threads of the album and of the command-line
// tool each read one file at a time.
constexpr int kSlots = 128;

// The signal handler reads these, so they are lock-free atomics and never freed. A slot's range
// is empty unless both ends are set: begin is set first and cleared last, and an end of 0 makes
// the range empty, so a handler that runs meanwhile never sees a range that is not the mapping.
struct Slot
{
    std::atomic<bool> used{ false };
    std::atomic<std::uintptr_t> begin{ 0 };
    std::atomic<std::uintptr_t> end{ 0 };
    std::atomic<bool> faulted{ false };
};

Slot slots[kSlots];
std::uintptr_t pageSize = 4096;

struct sigaction previous
{ };

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

// A private page of zeros over the lost one. The system call is made directly: whatever wraps
// mmap (a sanitizer's bookkeeping, say) need not be safe inside a signal handler.
bool zeroPage(std::uintptr_t page)
{
    void *placed = reinterpret_cast<void *>(::syscall(
            SYS_mmap, page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0));
    return placed == reinterpret_cast<void *>(page);
}

void passOn(int signal, siginfo_t *info, void *context)
{
    if ((previous.sa_flags & SA_SIGINFO) && previous.sa_sigaction) {
        previous.sa_sigaction(signal, info, context);
        return;
    }
    if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
        return;
    }
    // Returning runs the faulting access again, which now ends the process as it always would.
    ::signal(SIGBUS, SIG_DFL);
}

void onBusError(int signal, siginfo_t *info, void *context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot &slot : slots) {
        const std::uintptr_t begin = slot.begin.load();
        if (begin == 0 || address < begin || address >= slot.end.load())
            continue;
        if (zeroPage(address & ~(pageSize - 1))) {
            slot.faulted.store(true);
            return;
        }
        break;
    }
    passOn(signal, info, context);
}

void installHandler()
{
    pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));

    struct sigaction action
    { };

    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previous);
}

} // namespace

bool MappingGuard::watch(const void *begin, std::size_t size)
{
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    release();
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!slots[i].used.compare_exchange_strong(expected, true))
            continue;
        slots[i].faulted.store(false);
        const auto from = reinterpret_cast<std::uintptr_t>(begin);
        slots[i].begin.store(from);
        slots[i].end.store(from + size);
        slot = i;
        return true;
    }
    return false;
}

void MappingGuard::release()
{
    if (slot < 0)
        return;
    slots[slot].end.store(0);
    slots[slot].begin.store(0);
    slots[slot].used.store(false);
    slot = -1;
}

bool MappingGuard::faulted() const
{
    return slot >= 0 && slots[slot].faulted.load();
}
