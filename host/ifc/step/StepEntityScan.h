#pragma once
// One pass over a STEP file's data section ahead of the IFC library: every record held to the
// exchange-file syntax (StepDataReader.h), the records in the order the file gives them, what
// each refers to, and a check that no record's attributes lead back to itself. The library
// keeps records by number, so it does not know the file's order, and it follows references
// without asking whether it has been there before.
#include "host/ifc/step/ProductRefList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

struct StepScan {
    std::vector<int> ids; // in file order
    // Numbers written twice with the same text, each once, in the order of their second writing.
    std::vector<int> repeated;

    bool Defined(int id) const { return Position(id) >= 0; }
    // The record's place in `ids`, or -1.
    int64_t Position(int id) const {
        if (id >= 0 && static_cast<size_t>(id) < places.size()) {
            const uint32_t place = places[static_cast<size_t>(id)];
            return place == kNowhere ? int64_t{-1} : int64_t{place};
        }
        if (farPlaces.empty()) return -1;
        auto found = farPlaces.find(id);
        return found == farPlaces.end() ? int64_t{-1} : int64_t{found->second};
    }
    // Every record's place, by increasing number.
    std::vector<uint32_t> InNumberOrder() const;
    // Gives `id` the place `position` unless it has one; false when it had.
    bool Place(int id, uint32_t position, size_t nearLimit);
    std::span<const int> References(uint32_t position) const {
        return {refs.data() + firstRef[position], refs.data() + firstRef[position + 1]};
    }
    size_t Offset(uint32_t position) const { return offsets[position]; }
    size_t End(uint32_t position) const { return ends[position]; } // past its ';'
    // A product's placement and representation, when the record is one (StepRecord::productRefs).
    std::array<int, 2> ProductReferences(uint32_t position) const { return productRefs[position]; }
    // Every product is; most other records are not, and need not be looked up.
    bool MayBeProduct(uint32_t position) const { return productRefs[position][0] >= 0 || productRefs[position][1] >= 0; }

    // Places by number: numbers up to a limit that grows with the text in a table (files number
    // their records from 1 up, with few gaps), the others by hashing.
    static constexpr uint32_t kNowhere = UINT32_MAX;
    std::vector<uint32_t> places;
    std::unordered_map<int, uint32_t> farPlaces;
    std::vector<uint32_t> firstRef{0}; // into refs, one more than ids
    std::vector<int> refs;
    std::vector<uint32_t> offsets; // below kMaxStepTextBytes
    std::vector<uint32_t> ends;
    ProductRefList productRefs;
};

// The largest text the scan takes: its offsets are kept in 32 bits.
constexpr size_t kMaxStepTextBytes = size_t{4095} << 20;

// Throws EIfcFile (without a file name) for a text larger than kMaxStepTextBytes, a syntax error, a loop of references or a number
// defined twice with different texts. A record written again as it was is read once (some
// exporters write the same record twice). A reference to a number no record has is the reader's
// to judge.
// `beside`, when given, is handed the scan while its loops are checked, on the calling thread;
// a loop is thrown rather than what `beside` throws.
StepScan ScanStepEntities(std::string_view text, const std::function<void(const StepScan&)>& beside = {});
