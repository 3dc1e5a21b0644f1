#pragma once
// The five construction types a task can have, and how each is stored and lettered.
#include <cstddef>
#include <cstdint>
#include <optional>

// What a task does to the elements linked to it. Stored files may hold 5, which is treated like
// any value outside 0-4.
enum class ConstructionType : int32_t {
    Construction = 0,
    Demolition = 1,
    Renovation = 2,
    Fixed = 3,
    Temporary = 4,
};

constexpr int kConstructionTypeCount = 5;

// The number a type is stored as (project file, schedule text, settings records).
constexpr int32_t ConstructionTypeValue(ConstructionType type) {
    return static_cast<int32_t>(type);
}

// The type a stored number names, or nothing when it lies outside 0 to `highest` (5 where a stored
// form keeps the sixth value).
constexpr std::optional<ConstructionType>
ConstructionTypeFromInt(int32_t value, int32_t highest = kConstructionTypeCount - 1) {
    if (value < 0 || value > highest) return std::nullopt;
    return static_cast<ConstructionType>(value);
}

constexpr bool IsKnownConstructionType(ConstructionType type) {
    return ConstructionTypeValue(type) >= 0 && ConstructionTypeValue(type) < kConstructionTypeCount;
}

// The type's place in tables of the five (pens, materials, names); only for a known type.
constexpr size_t ConstructionTypeIndex(ConstructionType type) {
    return static_cast<size_t>(ConstructionTypeValue(type));
}

// The schedule text's one-letter code of a type; 0 for an unknown one.
constexpr char ConstructionTypeLetter(ConstructionType type) {
    return IsKnownConstructionType(type) ? "BDRFT"[ConstructionTypeIndex(type)] : 0;
}
