#include "basekit/BKResources.h"

#include "bytes/LittleEndian.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct Module {
    std::string name;
    std::map<std::pair<uint32_t, int16_t>, std::span<const uint8_t>> entries;
};

struct Registry {
    std::mutex lock;
    std::map<BKResModule, Module> modules;
    BKResModule next = 1;
    BKResModule current = 0;
};

// Never destroyed: modules unregister from their own unload hooks, which may run after the
// library's static objects are gone.
Registry& Reg() {
    static Registry* registry = new Registry;
    return *registry;
}

// Splits a list of zero-terminated strings that fills exactly `bytes`.
bool SplitStrings(std::span<const uint8_t> bytes, std::vector<std::string>& out) {
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0) {
            out.emplace_back(reinterpret_cast<const char*>(bytes.data() + start), i - start);
            start = i + 1;
        }
    }
    return start == bytes.size();
}

// The payload of a stored string list or alert: u32 byte count then that many bytes.
std::span<const uint8_t> CountedPayload(std::span<const uint8_t> data, size_t headerExtra) {
    if (data.size() < 4) return {};
    uint32_t count = LE::Get<uint32_t>(data, 0);
    if (count > data.size() - 4 || count < headerExtra) return {};
    return data.subspan(4, count);
}

} // namespace

BKResModule BKAddResModule(std::span<const uint8_t> blob, const char* name) {
    if (blob.size() < 8 || blob[0] != 'B' || blob[1] != 'V' || blob[2] != 'R' || blob[3] != 'S') return 0;
    uint32_t count = LE::Get<uint32_t>(blob, 4);
    Module module;
    module.name = name ? name : "";
    size_t pos = 8;
    for (uint32_t i = 0; i < count; ++i) {
        if (blob.size() - pos < 12) return 0;
        uint32_t type = static_cast<uint32_t>(blob[pos]) << 24 | static_cast<uint32_t>(blob[pos + 1]) << 16 |
                        static_cast<uint32_t>(blob[pos + 2]) << 8 | blob[pos + 3];
        auto id = LE::Get<int16_t>(blob, pos + 4);
        uint32_t size = LE::Get<uint32_t>(blob, pos + 8);
        pos += 12;
        if (size > blob.size() - pos) return 0;
        module.entries[{type, id}] = blob.subspan(pos, size);
        pos += size;
    }
    if (pos != blob.size()) return 0;
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    BKResModule handle = reg.next++;
    reg.modules.emplace(handle, std::move(module));
    return handle;
}

void BKRemoveResModule(BKResModule module) {
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    reg.modules.erase(module);
    if (reg.current == module) reg.current = 0;
}

BKResModule BKGetCurrentResModule() {
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    return reg.current;
}

BKResModule BKFindResModule(const char* name) {
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    BKResModule found = 0;
    for (const auto& [handle, module] : reg.modules)
        if (name && module.name == name) found = handle;
    return found;
}

BKResModule BKUseResModule(BKResModule module) {
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    BKResModule previous = reg.current;
    reg.current = reg.modules.count(module) ? module : 0;
    return previous;
}

std::span<const uint8_t> BKGetResource(uint32_t type, int16_t id) {
    auto& reg = Reg();
    std::lock_guard guard(reg.lock);
    auto mod = reg.modules.find(reg.current);
    if (mod == reg.modules.end()) return {};
    auto it = mod->second.entries.find({type, id});
    return it == mod->second.entries.end() ? std::span<const uint8_t>{} : it->second;
}

std::vector<std::string> BKGetStringList(int16_t listId) {
    std::vector<std::string> items;
    auto payload = CountedPayload(BKGetResource(kBKStringListType, listId), 0);
    if (payload.empty() || !SplitStrings(payload, items)) items.clear();
    return items;
}

bool BKGetIndString(std::string& out, int16_t listId, int16_t index) {
    out.clear();
    auto items = BKGetStringList(listId);
    if (index < 1 || static_cast<size_t>(index) > items.size()) return false;
    out = items[static_cast<size_t>(index) - 1];
    if (out.size() > 255) out.resize(255);
    return true;
}

bool BKGetAlert(BKAlertTemplate& out, int16_t alertId) {
    auto payload = CountedPayload(BKGetResource(kBKAlertType, alertId), 2);
    if (payload.size() < 2) return false;
    std::vector<std::string> texts;
    if (!SplitStrings(payload.subspan(2), texts) || texts.size() != 6) return false;
    out = {};
    out.kind = LE::Get<int16_t>(payload, 0);
    out.title = texts[0];
    out.main = texts[1];
    out.explanation = texts[2];
    for (size_t i = 3; i < 6; ++i)
        if (!texts[i].empty()) out.buttons.push_back(texts[i]);
    return true;
}
