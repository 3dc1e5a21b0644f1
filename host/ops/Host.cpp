#include "host/ops/Host.h"

#include "basekit/BKResources.h"

#include <cstddef>

extern const unsigned char kHostResourceBlob[];
extern const std::size_t kHostResourceBlobSize;

namespace {
Host* gCurrent = nullptr;

BKResModule HostResModule() {
    static BKResModule module = BKAddResModule({kHostResourceBlob, kHostResourceBlobSize}, "quorvel");
    return module;
}
} // namespace

Host::Host(std::string preferencesPath)
    : model_(std::make_unique<HostModel>()), preferences_(std::move(preferencesPath)) {
    FillHostTable(table_);
    // The host's own resources are current unless someone switches.
    BKUseResModule(HostResModule());
}

Host::~Host() {
    if (gCurrent == this) gCurrent = nullptr;
}

Host* Host::Current() { return gCurrent; }
void Host::SetCurrent(Host* host) { gCurrent = host; }

void Host::ReplaceModel(std::unique_ptr<HostModel> model) { model_ = std::move(model); }

AddonRegistration& Host::AddAddon(const std::string& name) {
    auto reg = std::make_unique<AddonRegistration>();
    reg->name = name;
    reg->token = nextToken_++;
    addons_.push_back(std::move(reg));
    return *addons_.back();
}

AddonRegistration* Host::AddonByToken(uint32_t token) {
    for (auto& a : addons_)
        if (a->token == token) return a.get();
    return nullptr;
}

void Host::RemoveAddon(uint32_t token) {
    std::erase_if(addons_, [token](const auto& a) { return a->token == token; });
}

void Host::SendProjectEvent(uint32_t event, int32_t param) {
    // Handlers may install others or unload; walk a copy.
    std::vector<HostProjectEventHandler> handlers;
    for (auto& a : addons_)
        for (auto& [mask, handler] : a->eventHandlers)
            if ((mask & event) != 0 && handler) handlers.push_back(handler);
    for (auto h : handlers) h(event, param);
}

void Host::WriteReport(const std::string& cp1250Text) {
    reportLines_.push_back(cp1250Text);
    if (events_.report) events_.report(cp1250Text);
}

std::string Host::KindName(int32_t kind) const {
    BKResModuleScope scope(HostResModule());
    std::string name;
    if (!HostElement::IsValidKind(kind) || !BKGetIndString(name, 100, static_cast<int16_t>(kind))) return {};
    return name;
}
