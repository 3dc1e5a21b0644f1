#pragma once
#include <cstdint>

// What a task does to the elements linked to it. Stored files may hold 5, which is treated like
// any value outside 0-4.
enum ConstructionType : int32_t {
    Construction = 0,
    Demolition = 1,
    Renovation = 2,
    Fixed = 3,
    Temporary = 4,
};

constexpr int kConstructionTypeCount = 5;

inline bool IsKnownConstructionType(int32_t type) { return type >= 0 && type < kConstructionTypeCount; }

// The schedule text's one-letter code of a type; 0 for an unknown one.
inline char ConstructionTypeLetter(int32_t type) { return IsKnownConstructionType(type) ? "BDRFT"[type] : 0; }
