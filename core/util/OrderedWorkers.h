#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace gw {

// Runs produce(n, slot) for n = 0 .. count-1 on `workers` threads and consume(n, slot)
// on the calling thread strictly in the order of n, with a bounded number of items in
// flight. consume returns false to stop: no later item is consumed. With no workers
// (or when threads cannot be started) everything runs on the calling thread. An
// exception thrown by produce on any thread, or by consume, stops the run; every thread
// is joined, then the first exception is rethrown on the calling thread.
template <typename Slot, typename Produce, typename Consume>
void RunOrdered(std::int64_t count, unsigned workers, Produce produce, Consume consume) {
    if (workers == 0) {
        Slot slot;
        for (std::int64_t n = 0; n < count; ++n) {
            produce(n, slot);
            if (!consume(n, slot)) return;
        }
        return;
    }

    const std::int64_t slotCount = 4 * static_cast<std::int64_t>(workers);
    std::vector<Slot> slots(static_cast<std::size_t>(slotCount));
    std::vector<std::int64_t> owner(slots.size());  // the item that may fill the slot next
    std::vector<char> ready(slots.size(), 0);
    for (std::size_t s = 0; s < owner.size(); ++s) owner[s] = static_cast<std::int64_t>(s);
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    std::exception_ptr failure;

    const auto work = [&](unsigned first) {
        for (std::int64_t n = first; n < count; n += workers) {
            const std::size_t s = static_cast<std::size_t>(n % slotCount);
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || (owner[s] == n && !ready[s]); });
                if (stop) return;
            }
            try {
                produce(n, slots[s]);
            } catch (...) {
                {
                    std::lock_guard lock(mutex);
                    if (!failure) failure = std::current_exception();
                    stop = true;
                }
                changed.notify_all();
                return;
            }
            {
                std::lock_guard lock(mutex);
                ready[s] = 1;
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> threads;
    const auto stopAndJoin = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread& t : threads) t.join();
    };
    try {
        for (unsigned k = 0; k < workers; ++k) threads.emplace_back(work, k);
    } catch (const std::system_error&) {
        stopAndJoin();
        RunOrdered<Slot>(count, 0, produce, consume);
        return;
    } catch (...) {
        stopAndJoin();
        throw;
    }

    for (std::int64_t n = 0; n < count; ++n) {
        const std::size_t s = static_cast<std::size_t>(n % slotCount);
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stop || (owner[s] == n && ready[s]); });
            if (stop) break;
        }
        bool goOn = false;
        try {
            goOn = consume(n, slots[s]);
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex);
            ready[s] = 0;
            owner[s] = n + slotCount;
        }
        changed.notify_all();
        if (!goOn) break;
    }
    stopAndJoin();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace gw
