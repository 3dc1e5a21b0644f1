#include "host/ifc/helper/ProductClaims.h"

#include <new>
#include <sys/mman.h>

namespace {

using State = std::atomic<uint64_t>;
static_assert(State::is_always_lock_free, "the claims are shared between processes without a lock");

constexpr uint64_t Pack(uint64_t front, uint64_t back) { return front << 32 | back; }
constexpr uint64_t FrontOf(uint64_t state) { return state >> 32; }
constexpr uint64_t BackOf(uint64_t state) { return state & UINT32_MAX; }

} // namespace

ProductClaims::ProductClaims(size_t count) {
    if (count > UINT32_MAX) return;
    void* at = mmap(nullptr, sizeof(State), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) return;
    state_ = new (at) State(Pack(0, count));
}

ProductClaims::~ProductClaims() {
    if (state_) munmap(state_, sizeof(State));
}

std::optional<size_t> ProductClaims::TakeFront() {
    if (!state_) return std::nullopt;
    uint64_t now = state_->load();
    while (FrontOf(now) < BackOf(now))
        if (state_->compare_exchange_weak(now, Pack(FrontOf(now) + 1, BackOf(now)))) return FrontOf(now);
    return std::nullopt;
}

std::optional<size_t> ProductClaims::TakeBack() {
    if (!state_) return std::nullopt;
    uint64_t now = state_->load();
    while (FrontOf(now) < BackOf(now))
        if (state_->compare_exchange_weak(now, Pack(FrontOf(now), BackOf(now) - 1))) return BackOf(now) - 1;
    return std::nullopt;
}

size_t ProductClaims::Back() const { return state_ ? BackOf(state_->load()) : 0; }

size_t ProductClaims::Front() const { return state_ ? FrontOf(state_->load()) : 0; }
