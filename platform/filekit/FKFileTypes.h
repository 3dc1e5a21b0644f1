#pragma once
// The file-type registry: named groups of file types (a name, an extension and the two
// four-character codes), from which the file dialogs build their filters. Texts are 8-bit.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct FKFileType {
    std::string name;
    std::string extension; // without the dot
    std::string creator;   // four characters
    std::string typeCode;  // four characters
};

// One entry of a file dialog's filter list.
struct FKFileFilter {
    std::string name;
    std::vector<std::string> extensions;
    bool operator==(const FKFileFilter&) const = default;
};

class FKFileTypeRegistry {
public:
    static constexpr int32_t kRootGroup = 0;

    explicit FKFileTypeRegistry(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }

    // Fails (kFKParamErr) for group id 0 or one already there, an unknown parent, or no name.
    int32_t AddGroup(int32_t parent, int32_t groupId, const std::string& name);
    // Fails for an unknown group, no name or extension, or codes that are not four characters.
    int32_t AddType(int32_t groupId, const FKFileType& type);

    // The types of a group and of the groups under it, in the order they were added.
    std::vector<FKFileType> TypesOf(int32_t groupId) const;
    // A filter for a group: its types' names joined by "; " and all their extensions.
    FKFileFilter FilterOf(int32_t groupId) const;

private:
    struct Group {
        int32_t id;
        int32_t parent;
        std::string name;
        std::vector<FKFileType> types;
    };
    const Group* Find(int32_t groupId) const;
    void Collect(int32_t groupId, std::vector<FKFileType>& out) const;

    std::string name_;
    std::vector<Group> groups_;
};
