#pragma once
// The host's library: the parts add-ons hand over (label parts), found by index, name or
// unique identifier, and the tools' default settings that name a part.
#include "host/libparts/LibPartFile.h"

#include <map>
#include <string>
#include <vector>

struct LibPart {
    int32_t index = 0;
    std::string fileName; // UTF-8
    std::string owner;    // the add-on that registered it
    LibPartDefinition def;
};

class LibPartRegistry {
public:
    // Returns the part's index, or 0 with `error` set. A part whose unique identifier is already
    // known replaces that part under the same index (an add-on loaded again).
    int32_t Register(const std::string& owner, const std::string& fileName, std::span<const uint8_t> bytes,
                     std::string& error);
    const LibPart* ByIndex(int32_t index) const;
    const LibPart* ByName(const std::u16string& name) const;
    const LibPart* ByUniqueId(const std::string& id) const;
    // The template part of an object type registered by `owner`.
    const LibPart* TemplateOf(uint32_t variation, const std::string& owner) const;
    // The part a new element of the type starts with: its first part that is not the template.
    const LibPart* DefaultOf(uint32_t variation) const;
    const std::vector<LibPart>& Parts() const { return parts_; }

private:
    std::vector<LibPart> parts_; // index i + 1
};

// A tool's default settings: an element record and the parameters of its library part.
struct ToolDefaults {
    std::vector<uint8_t> record;
    std::vector<uint8_t> params;
};

class ElementDefaults {
public:
    // The settings of kind and variation, made on first use.
    ToolDefaults& Of(int32_t kind, uint32_t variation, const LibPartRegistry& parts);

private:
    std::map<std::pair<int32_t, uint32_t>, ToolDefaults> defaults_;
};
