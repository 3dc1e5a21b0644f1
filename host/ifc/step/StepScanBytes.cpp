#include "host/ifc/step/StepScanBytes.h"

#include "host/ifc/step/EIfcFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <array>
#include <unistd.h>

namespace {

// A number past the scan's table and its place, as the bytes hold it.
struct FarPlace {
    int32_t id;
    uint32_t place;
};

void WriteAll(int fd, const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(n < 0 ? errno : ENOSPC));
        at += n;
        size -= static_cast<size_t>(n);
    }
}

template <typename T>
void WriteList(int fd, const std::vector<T>& list) {
    const uint64_t count = list.size();
    WriteAll(fd, &count, sizeof count);
    if (count > 0) WriteAll(fd, list.data(), list.size() * sizeof(T));
}

template <typename T>
bool ReadList(std::string_view& bytes, std::vector<T>& list) {
    uint64_t count = 0;
    if (bytes.size() < sizeof count) return false;
    std::memcpy(&count, bytes.data(), sizeof count);
    bytes.remove_prefix(sizeof count);
    if (count > bytes.size() / sizeof(T)) return false;
    list.resize(count);
    if (count > 0) std::memcpy(list.data(), bytes.data(), count * sizeof(T));
    bytes.remove_prefix(count * sizeof(T));
    return true;
}

// The list as a list of pairs, as the bytes hold it, written a stretch at a time.
void WriteProductRefs(int fd, const ProductRefList& list) {
    const uint64_t count = list.size();
    WriteAll(fd, &count, sizeof count);
    std::vector<std::array<int, 2>> stretch;
    for (size_t i = 0; i < list.size();) {
        stretch.clear();
        for (const size_t end = std::min(list.size(), i + 65536); i < end; ++i) stretch.push_back(list[i]);
        WriteAll(fd, stretch.data(), stretch.size() * sizeof(stretch[0]));
    }
}

bool ReadProductRefs(std::string_view& bytes, ProductRefList& list) {
    uint64_t count = 0;
    if (bytes.size() < sizeof count) return false;
    std::memcpy(&count, bytes.data(), sizeof count);
    bytes.remove_prefix(sizeof count);
    constexpr size_t kPair = sizeof(std::array<int32_t, 2>);
    if (count > bytes.size() / kPair) return false;
    list = ProductRefList();
    list.reserve(count);
    for (uint64_t i = 0; i < count; ++i) {
        std::array<int32_t, 2> refs{};
        std::memcpy(refs.data(), bytes.data() + i * kPair, kPair);
        list.push_back({refs[0], refs[1]});
    }
    bytes.remove_prefix(count * kPair);
    return true;
}

} // namespace

void WriteStepScan(const StepScan& scan, int fd) {
    WriteList(fd, scan.ids);
    WriteList(fd, scan.repeated);
    WriteList(fd, scan.places);
    std::vector<FarPlace> far;
    far.reserve(scan.farPlaces.size());
    for (const auto& [id, place] : scan.farPlaces) far.push_back({id, place});
    WriteList(fd, far);
    WriteList(fd, scan.firstRef);
    WriteList(fd, scan.refs);
    WriteList(fd, scan.offsets);
    WriteList(fd, scan.ends);
    WriteProductRefs(fd, scan.productRefs);
}

bool ReadStepScan(std::string_view bytes, size_t textBytes, StepScan& scan) {
    std::vector<FarPlace> far;
    if (!ReadList(bytes, scan.ids) || !ReadList(bytes, scan.repeated) || !ReadList(bytes, scan.places) || !ReadList(bytes, far) ||
        !ReadList(bytes, scan.firstRef) || !ReadList(bytes, scan.refs) || !ReadList(bytes, scan.offsets) ||
        !ReadList(bytes, scan.ends) || !ReadProductRefs(bytes, scan.productRefs) || !bytes.empty())
        return false;
    const size_t records = scan.ids.size();
    if (scan.firstRef.size() != records + 1 || scan.offsets.size() != records || scan.ends.size() != records ||
        scan.productRefs.size() != records || scan.firstRef.front() != 0 || scan.firstRef.back() != scan.refs.size())
        return false;
    for (size_t i = 0; i < records; ++i)
        if (scan.firstRef[i] > scan.firstRef[i + 1] || scan.offsets[i] > scan.ends[i] || scan.ends[i] > textBytes) return false;
    for (uint32_t place : scan.places)
        if (place != StepScan::kNowhere && place >= records) return false;
    scan.farPlaces.clear();
    scan.farPlaces.reserve(far.size());
    for (const auto& [id, place] : far)
        if (place >= records || !scan.farPlaces.emplace(id, place).second) return false;
    return true;
}
