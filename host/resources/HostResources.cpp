#include "host/resources/HostResources.h"

#include "dialogkit/DGAlert.h"
#include "hostapi/HostElementRecord.h"

#include <cstddef>

extern const unsigned char kHostResourceBlob_hu[];
extern const std::size_t kHostResourceBlob_huSize;
extern const unsigned char kHostResourceBlob_en[];
extern const std::size_t kHostResourceBlob_enSize;

namespace {

constexpr int16_t kKindNames = 100, kMessages = 101, kUndoSteps = 102;

HostLanguage gLanguage = HostLanguage::Transcript;

BKResModule Hungarian() {
    static BKResModule module = BKAddResModule({kHostResourceBlob_hu, kHostResourceBlob_huSize}, "quorvel");
    return module;
}

BKResModule English() {
    static BKResModule module = BKAddResModule({kHostResourceBlob_en, kHostResourceBlob_enSize}, "quorvel-en");
    return module;
}

// `name`: a name the transcript keeps in Hungarian rather than a message.
BKResModule ModuleOf(bool name) {
    switch (gLanguage) {
    case HostLanguage::Hungarian: return Hungarian();
    case HostLanguage::English: return English();
    case HostLanguage::Transcript: break;
    }
    return name ? Hungarian() : English();
}

std::string ListString(int16_t list, int16_t index) {
    BKResModuleScope scope(ModuleOf(list == kKindNames || list == kUndoSteps));
    std::string s;
    if (!BKGetIndString(s, list, index)) return {};
    return s;
}

} // namespace

void SetHostLanguage(HostLanguage language) { gLanguage = language; }
HostLanguage CurrentHostLanguage() { return gLanguage; }

std::optional<HostLanguage> HostLanguageOfCode(const std::string& code) {
    if (code == "hu") return HostLanguage::Hungarian;
    if (code == "en") return HostLanguage::English;
    return std::nullopt;
}

BKResModule HostResModule() { return ModuleOf(false); }

std::string HostString(HostText text) { return ListString(kMessages, static_cast<int16_t>(text)); }
std::string HostUndoStepName(HostUndoStep step) { return ListString(kUndoSteps, static_cast<int16_t>(step)); }
std::string HostListString(int16_t list, int16_t index) { return ListString(list, index); }

int ShowHostAlert(HostAlert alert, const std::string& p1, const std::string& p2, const std::string& p3) {
    BKResModuleScope scope(ModuleOf(false));
    auto param = [](const std::string& p) { return p.empty() ? nullptr : p.c_str(); };
    return DGAlert(static_cast<int16_t>(alert), param(p1), param(p2), param(p3));
}

std::string HostKindName(int32_t kind) {
    if (!HostElement::IsValidKind(kind)) return {};
    return ListString(kKindNames, static_cast<int16_t>(kind));
}
