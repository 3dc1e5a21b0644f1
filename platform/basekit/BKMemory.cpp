#include "basekit/BKMemory.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<BKHandle, std::vector<uint8_t>> blocks;
    BKHandle next = 1;
};

// Never destroyed: blocks may be freed by unload hooks that run after static destruction.
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

BKHandle BKNewHandle(size_t size) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    try {
        std::vector<uint8_t> block(size, 0);
        // After the counter wraps, numbers of blocks still alive are passed over: handing one out
        // twice would let two owners share, and one free the other's block.
        if (t.blocks.size() >= UINT32_MAX) return 0;
        BKHandle h = t.next++;
        while (h == 0 || t.blocks.contains(h)) h = t.next++;
        t.blocks.emplace(h, std::move(block));
        return h;
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
}

void BKDisposeHandle(BKHandle handle) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    t.blocks.erase(handle);
}

uint8_t* BKHandleData(BKHandle handle) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(handle);
    if (it == t.blocks.end()) return nullptr;
    return it->second.empty() ? nullptr : it->second.data();
}

size_t BKHandleSize(BKHandle handle) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(handle);
    return it == t.blocks.end() ? 0 : it->second.size();
}

bool BKSetHandleSize(BKHandle handle, size_t size) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(handle);
    if (it == t.blocks.end()) return false;
    try {
        it->second.resize(size, 0);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void BKSetNextHandleForTesting(BKHandle next) {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    t.next = next;
}

size_t BKLiveHandleCount() {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    return t.blocks.size();
}
