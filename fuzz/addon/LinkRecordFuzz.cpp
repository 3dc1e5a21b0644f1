// The link record reader on any user data block the host may hold: any version, any size.
#include "display/ElementHider.h"
#include "host/ops/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/Exceptions.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Host* host = [] {
        auto* h = new Host();
        Host::SetCurrent(h);
        AddonRegistration& reg = h->AddAddon("Bauvista");
        SetImportedFuncAddrs(h->Table().data());
        SetAddonToken(reg.token);
        Element e;
        e.SetKind(1);
        e.SetIdText("FAL-01");
        h->Model().AddElement(std::move(e));
        return h;
    }();
    if (size < 2) return 0;
    Element& wall = *host->Model().Elements().front();
    UserDataBlock block;
    block.version = static_cast<int16_t>(data[0] | data[1] << 8);
    block.bytes.assign(data + 2, data + size);
    wall.userData["Bauvista"] = block;
    ElementHider hider;
    ElementLinkRecord rec;
    try {
        hider.ReadElementLink(1, wall.Guid(), rec);
        CountLinks(rec.Slots());
        ElementLink s = rec.Slots();
        CompactLinks(s);
    } catch (const EElementHider&) {
    }
    return 0;
}
