#include "core/dem/MappingGuard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace gw {
namespace {

// A guarded range. The signal handler reads slots without locks, so every field is
// a lock-free atomic and a slot is only looked at once its state says it is live.
struct Slot {
    enum State { kFree, kFilling, kLive };
    std::atomic<int> state{kFree};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> faulted{false};
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
              std::atomic<bool>::is_always_lock_free);

Slot g_slots[MappingGuard::kMaxRanges];
struct sigaction g_previous {};
std::uintptr_t g_pageSize = 0;
bool g_installed = false;

// Hands a fault that is not ours on as if this handler had never been installed.
void PassOn(int signal, siginfo_t* info, void* context) {
    if (g_previous.sa_flags & SA_SIGINFO) {
        g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
    } else {
        // The faulting access runs again on return and is then fatal, as it always was
        // (a fault raised by the hardware cannot be ignored).
        struct sigaction fatal {};
        fatal.sa_handler = SIG_DFL;
        sigemptyset(&fatal.sa_mask);
        ::sigaction(SIGBUS, &fatal, nullptr);
    }
}

void OnBusError(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) != Slot::kLive) continue;
        if (address < slot.begin.load(std::memory_order_relaxed) || address >= slot.end.load(std::memory_order_relaxed)) {
            continue;
        }
        // Only a page inside the mapping is replaced, so nothing outside it is touched.
        void* page = reinterpret_cast<void*>(address & ~(g_pageSize - 1));
        if (::mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            slot.faulted.store(true, std::memory_order_release);
            errno = savedErrno;
            return;
        }
        break;
    }
    errno = savedErrno;
    PassOn(signal, info, context);
}

bool InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        const long pageSize = ::sysconf(_SC_PAGESIZE);
        if (pageSize <= 0) return;
        g_pageSize = static_cast<std::uintptr_t>(pageSize);
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
        sigemptyset(&action.sa_mask);
        g_installed = ::sigaction(SIGBUS, &action, &g_previous) == 0;
    });
    return g_installed;
}

}  // namespace

bool MappingGuard::Guard(const void* begin, std::size_t size) {
    Release();
    if (!InstallHandler()) return false;
    for (int i = 0; i < kMaxRanges; ++i) {
        Slot& slot = g_slots[i];
        int expected = Slot::kFree;
        if (!slot.state.compare_exchange_strong(expected, Slot::kFilling, std::memory_order_acq_rel)) continue;
        const auto first = reinterpret_cast<std::uintptr_t>(begin);
        slot.begin.store(first, std::memory_order_relaxed);
        slot.end.store(first + size, std::memory_order_relaxed);
        slot.faulted.store(false, std::memory_order_relaxed);
        slot.state.store(Slot::kLive, std::memory_order_release);
        m_slot = i;
        return true;
    }
    return false;
}

void MappingGuard::Release() {
    if (m_slot < 0) return;
    g_slots[m_slot].state.store(Slot::kFree, std::memory_order_release);
    m_slot = -1;
}

bool MappingGuard::Faulted() const {
    return m_slot >= 0 && g_slots[m_slot].faulted.load(std::memory_order_acquire);
}

}  // namespace gw
