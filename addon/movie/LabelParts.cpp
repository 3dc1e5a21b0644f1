#include "movie/LabelParts.h"

#include "basekit/BKMemory.h"
#include "basekit/BKResources.h"
#include "basekit/BKText.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"

#include <charconv>
#include <string>
#include <vector>

namespace {

constexpr int16_t kLabelFolder = 128;

struct FolderEntry {
    int16_t fileId = 0;
    std::string name; // 8-bit code page
};

// The folder: one line a part, "FILE-ID<tab>FILE NAME".
std::vector<FolderEntry> ReadFolder(std::span<const uint8_t> bytes) {
    std::vector<FolderEntry> entries;
    std::string text(bytes.begin(), bytes.end());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab + 1 >= line.size()) continue;
        FolderEntry e;
        auto r = std::from_chars(line.data(), line.data() + tab, e.fileId);
        if (r.ec != std::errc() || r.ptr != line.data() + tab || e.fileId <= 0) continue;
        e.name = line.substr(tab + 1);
        entries.push_back(std::move(e));
    }
    return entries;
}

} // namespace

bool RegisterLabelParts() {
    BKResModuleScope scope(AddonResModule());
    auto entries = ReadFolder(BKGetResource(BKResType("FLDR"), kLabelFolder));
    if (entries.empty()) return false;
    bool all = true;
    for (const auto& e : entries) {
        auto bytes = BKGetResource(BKResType("FILE"), e.fileId);
        std::u16string name = BKToUtf16(e.name);
        if (bytes.empty() || name.size() > 255) {
            all = false;
            continue;
        }
        std::vector<uint16_t> fileName(name.begin(), name.end());
        fileName.push_back(0);
        std::vector<uint8_t> record(HostLibPart::kSize, 0);
        GSErr err = HostLibPartRegister(fileName.data(), bytes.data(), static_cast<uint32_t>(bytes.size()), record.data());
        if (err != kHostNoError) all = false;
        OwnedHandle fileNameCopy(LE::Get<uint32_t>(record, HostLibPart::kLocation));
    }
    return all;
}
