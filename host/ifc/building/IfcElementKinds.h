#pragma once
// The host element kind an IFC product becomes, by its entity name.
#include <cstdint>
#include <string_view>

// 0 for products that are no part of the building's body (openings, virtual elements): they
// become no element. Entity names compare without regard to case, as IFC files write them upper case.
int32_t ElementKindOfIfcClass(std::string_view ifcClass, std::string_view predefinedType);
