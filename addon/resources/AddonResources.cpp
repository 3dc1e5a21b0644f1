#include "resources/AddonResources.h"

#include "dialogkit/DGAlert.h"

#include <cstddef>
#include <span>

extern const unsigned char kAddonResourceBlob[];
extern const std::size_t kAddonResourceBlobSize;

namespace {
BKResModule gModule = 0;
}

BKResModule AddonResModule() {
    if (gModule == 0) gModule = BKAddResModule({kAddonResourceBlob, kAddonResourceBlobSize}, "Bauvista");
    return gModule;
}

void AddonReleaseResModule() {
    if (gModule != 0) BKRemoveResModule(gModule);
    gModule = 0;
}

std::string AddonString(int16_t listId, int16_t index) {
    BKResModuleScope scope(AddonResModule());
    std::string text;
    BKGetIndString(text, listId, index);
    return text;
}

int AddonAlert(int16_t alertId, const char* param1, const char* param2, const char* param3) {
    BKResModuleScope scope(AddonResModule());
    return DGAlert(alertId, param1, param2, param3);
}

std::string AddonFormat(int16_t listId, int16_t index, std::initializer_list<std::string_view> params) {
    std::string pattern = AddonString(listId, index), out;
    auto next = params.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next != params.end()) {
            out += *next++;
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}
