#pragma once
// The products and left-out products the converting processes send, which come in no set
// order: the second process's are passed on as they are done, between the first's. Each is
// kept with its place in the file and handed out in the file's order, the first product of a
// GlobalId kept and any later one left out.
#include "host/ifc/building/IfcBuildingData.h"
#include "hostapi/HostGuid.h"

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

class ProductsInFileOrder {
public:
    // Room for this many products at most, given before any comes: the list is not copied as it
    // grows, and room never filled is never given pages.
    void Reserve(size_t products) { products_.reserve(products); }
    void Add(uint32_t position, IfcProductData product);
    void Add(uint32_t position, IfcSkippedProduct skipped);
    // What came from places past `position` is made again after a failure there.
    void DropPast(uint32_t position);
    // Into `data`'s products and left-out products, in the file's order. `outOfRange` gets the
    // products (by their place in data.products) whose GlobalIds are past 128 bits, `seen` the
    // GUID of every other product kept.
    void MoveInto(IfcBuildingData& data, std::vector<size_t>& outOfRange, std::unordered_set<API_Guid, API_GuidHash>& seen);

private:
    std::vector<std::pair<uint32_t, IfcProductData>> products_;
    std::vector<std::pair<uint32_t, IfcSkippedProduct>> skipped_;
};

IfcSkippedProduct RepeatedGlobalId(const IfcProductData& p);
