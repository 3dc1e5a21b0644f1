#pragma once
// Resource modules: each loaded module (the host, an add-on) registers its compiled resource
// blob; lookups go to the current module, which callers switch and restore.
//
// Blob form (little-endian): "BVRS", u32 entry count, then per entry: 4-byte type code,
// i16 id, u16 zero, u32 data size, data. String lists ('STR#') hold u32 byte count then
// zero-terminated strings; alerts ('ALRT') u32 byte count, i16 kind, six zero-terminated strings.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using BKResModule = int32_t; // 0 is none

constexpr uint32_t BKResType(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 | static_cast<uint8_t>(code[3]);
}
constexpr uint32_t kBKStringListType = BKResType("STR#");
constexpr uint32_t kBKAlertType = BKResType("ALRT");

// Checks and indexes a blob (the bytes stay the caller's and must outlive the module).
// Returns 0 when the blob is malformed.
BKResModule BKAddResModule(std::span<const uint8_t> blob, const char* name);
void BKRemoveResModule(BKResModule module);
BKResModule BKGetCurrentResModule();
// The module registered under a name (the latest of that name); 0 when there is none.
BKResModule BKFindResModule(const char* name);
// Makes the module current and returns the previous one; 0 or an unknown module leaves none.
BKResModule BKUseResModule(BKResModule module);

// The data of a resource in the current module; empty when absent.
std::span<const uint8_t> BKGetResource(uint32_t type, int16_t id);

// Item `index` (from 1) of string list `listId` in the current module, at most 255 bytes.
// Returns false (and leaves out empty) when absent.
bool BKGetIndString(std::string& out, int16_t listId, int16_t index);
// All items of a string list; empty when absent or malformed.
std::vector<std::string> BKGetStringList(int16_t listId);

struct BKAlertTemplate {
    int16_t kind = 0;
    std::string title, main, explanation;
    std::vector<std::string> buttons; // only the non-empty ones, in order
};
bool BKGetAlert(BKAlertTemplate& out, int16_t alertId);

// Switches to a module for a scope and restores the previous one, also on exceptions.
class BKResModuleScope {
public:
    explicit BKResModuleScope(BKResModule module) : previous_(BKUseResModule(module)) {}
    ~BKResModuleScope() { BKUseResModule(previous_); }
    BKResModuleScope(const BKResModuleScope&) = delete;
    BKResModuleScope& operator=(const BKResModuleScope&) = delete;

private:
    BKResModule previous_;
};
