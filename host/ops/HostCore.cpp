#include "host/ops/HostCore.h"

#include "basekit/BKResources.h"
#include "host/resources/HostResources.h"
#include "hostapi/HostSecondView.h"

namespace {
HostCore* gCurrent = nullptr;
} // namespace

HostCore::HostCore(std::string preferencesPath)
    : model_(std::make_unique<HostModel>()), preferences_(std::move(preferencesPath)) {
    FillHostTable(table_);
    // The host's own resources are current unless someone switches.
    BKUseResModule(HostResModule());
}

HostCore::~HostCore() {
    if (gCurrent == this) gCurrent = nullptr;
}

HostCore* HostCore::Current() { return gCurrent; }
void HostCore::SetCurrent(HostCore* host) { gCurrent = host; }

void HostCore::ReplaceModel(std::unique_ptr<HostModel> model) {
    // The second window stays open over the next project.
    const bool second = model_ && model_->SecondViewOpen();
    model_ = std::move(model);
    if (model_) model_->SetSecondViewOpen(second);
}

void HostCore::SetSecondViewOpen(bool open) {
    if (Model().SecondViewOpen() == open) return;
    Model().SetSecondViewOpen(open);
    if (open) SendProjectEvent(kHostEventSecondView, 1);
}

AddonRegistration& HostCore::AddAddon(const std::string& name) {
    auto reg = std::make_unique<AddonRegistration>();
    reg->name = name;
    reg->token = nextToken_++;
    addons_.push_back(std::move(reg));
    return *addons_.back();
}

AddonRegistration* HostCore::AddonByToken(uint32_t token) {
    for (auto& a : addons_)
        if (a->token == token) return a.get();
    return nullptr;
}

void HostCore::RemoveAddon(uint32_t token) {
    std::erase_if(addons_, [token](const auto& a) { return a->token == token; });
}

void HostCore::SendProjectEvent(uint32_t event, int32_t param) {
    // Handlers may install others or unload; walk a copy.
    std::vector<HostProjectEventHandler> handlers;
    for (auto& a : addons_)
        for (auto& [mask, handler] : a->eventHandlers)
            if ((mask & event) != 0 && handler) handlers.push_back(handler);
    for (auto h : handlers) h(event, param);
}

void HostCore::WriteReport(const std::string& cp1250Text) {
    reportLines_.push_back(cp1250Text);
    if (events_.report) events_.report(cp1250Text);
}

std::string HostCore::KindName(int32_t kind) const { return HostKindName(kind); }
