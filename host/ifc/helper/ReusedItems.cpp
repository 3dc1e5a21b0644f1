#include "host/ifc/helper/ReusedItems.h"

#include "host/ifc/helper/RecordContent.h"

#include <cstring>

const ReusedItems::Kept* ReusedItems::Turn::Find(uint64_t hash, const std::function<bool(const MadeOf&)>& alike) {
    const Kept* kept = nullptr;
    {
        const std::lock_guard<std::mutex> hold(shared_.lock_);
        const auto found = shared_.kept_.find(hash);
        if (found == shared_.kept_.end()) return nullptr;
        kept = &found->second;
    }
    if (!alike(kept->of)) return nullptr;
    const std::lock_guard<std::mutex> hold(shared_.lock_);
    ++shared_.reused_;
    return kept;
}

void ReusedItems::Turn::Offer(uint64_t hash, MadeOf of, const std::vector<MeshItem>& items, size_t curves) {
    Offered offered{hash, Kept{std::move(of), items, curves}, 0, false};
    offered.bytes = BytesOf(offered.kept);
    {
        const std::lock_guard<std::mutex> hold(shared_.lock_);
        if (shared_.kept_.count(hash)) return;
        offered.firstSight = shared_.seen_.insert(hash).second;
        // What is seen once is likely the only one of its kind.
        if (offered.firstSight && shared_.onceBytes_ + offered.bytes > shared_.maxBytes_ / 2) return;
        if (shared_.bytes_ + offered.bytes > shared_.maxBytes_) return;
        shared_.bytes_ += offered.bytes;
        if (offered.firstSight) shared_.onceBytes_ += offered.bytes;
    }
    pending_.push_back(std::move(offered));
}

void ReusedItems::Turn::Commit() {
    const std::lock_guard<std::mutex> hold(shared_.lock_);
    for (Offered& offered : pending_) {
        if (shared_.kept_.try_emplace(offered.hash, std::move(offered.kept)).second) continue;
        shared_.bytes_ -= offered.bytes;
        if (offered.firstSight) shared_.onceBytes_ -= offered.bytes;
    }
    pending_.clear();
}

void ReusedItems::Turn::Drop() {
    if (pending_.empty()) return;
    const std::lock_guard<std::mutex> hold(shared_.lock_);
    for (const Offered& offered : pending_) {
        shared_.bytes_ -= offered.bytes;
        if (offered.firstSight) shared_.onceBytes_ -= offered.bytes;
    }
    pending_.clear();
}

size_t ReusedItems::Reused() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return reused_;
}

size_t ReusedItems::BytesOf(const Kept& kept) {
    size_t bytes = sizeof(Kept) + kept.of.records.size() * sizeof(uint32_t) + kept.of.numbers.size() * sizeof(double);
    for (const MeshItem& item : kept.items)
        for (const auto* parts : {&item.closed, &item.open})
            for (const MeshPart& part : *parts)
                bytes += sizeof(MeshPart) + part.points.size() * sizeof(part.points[0]) + part.triangles.size() * sizeof(part.triangles[0]);
    return bytes;
}

bool SameMadeOf(std::string_view text, const StepScan& scan, const MadeOf& a, const MadeOf& b) {
    if (a.records.size() != b.records.size() || a.numbers.size() != b.numbers.size()) return false;
    if (!a.numbers.empty() && std::memcmp(a.numbers.data(), b.numbers.data(), a.numbers.size() * sizeof(double)) != 0) return false;
    for (size_t i = 0; i < a.records.size(); ++i)
        if (!SameRecordContent(text, scan, a.records[i], b.records[i])) return false;
    return true;
}

std::optional<uint64_t> HashMadeOf(std::string_view text, const StepScan& scan, const MadeOf& of) {
    uint64_t hash = of.records.size();
    for (uint32_t record : of.records) {
        const std::optional<uint64_t> says = RecordContentHash(text, scan, record);
        if (!says) return std::nullopt;
        hash = AddToContentHash(hash, *says);
    }
    for (double number : of.numbers) {
        uint64_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        hash = AddToContentHash(hash, bits);
    }
    return hash;
}
