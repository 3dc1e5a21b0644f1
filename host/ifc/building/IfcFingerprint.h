#pragma once
// What an element is, apart from its GlobalId: some exporters issue new GlobalIds for elements
// that did not change (phases, copied levels, some settings), and a revision would otherwise drop
// them and everything the user gave them. Two elements share a fingerprint when their kind,
// class, type, storey and name (the tag when there is no name) are the same texts, their shapes
// hash alike, and their boxes lie within a tolerance of each other.
#include "host/model/Element.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IfcFingerprint {
    std::string key; // kind, the texts and the shape's hash, one string to compare and hash
    std::array<double, 3> min{}, max{};
    bool named = false; // a name or tag took part
};

// The texts the fingerprint takes, as the element's facts give them (UTF-8).
struct IfcFingerprintTexts {
    std::string_view ifcClass, type, storey, name, tag;
};

// None for a geometry without a point: nothing to tell it from its neighbours.
std::optional<IfcFingerprint> FingerprintOf(int32_t kind, const IfcFingerprintTexts& texts, const Geometry& geometry);
// The parts that met, as fact keys joined by '+': "class+storey+name+box+shape".
std::string FingerprintParts(const IfcFingerprintTexts& texts);
// The texts of an element's facts (key and value, as HostModel::FactsOf gives them).
IfcFingerprintTexts FingerprintTextsOf(const std::vector<std::pair<std::string_view, std::string_view>>& facts);

// Metres each face of the box may move and still count as the same place.
inline constexpr double kFingerprintTolerance = 0.01;

struct IfcFingerprintPairs {
    std::vector<std::pair<size_t, size_t>> pairs; // (product, element), each side at most once
    std::vector<size_t> ambiguousProducts;        // more than one element fits, or one that fits others too
    std::vector<size_t> ambiguousElements;        // fits some product, and is paired with none
};

// The products left unmatched paired with the elements left: a pair only where each is the other's
// only fit, so that no link ever moves to a wrong element. A missing fingerprint fits nothing.
IfcFingerprintPairs PairByFingerprint(const std::vector<std::optional<IfcFingerprint>>& products,
                                      const std::vector<std::optional<IfcFingerprint>>& elements,
                                      double tolerance = kFingerprintTolerance);
