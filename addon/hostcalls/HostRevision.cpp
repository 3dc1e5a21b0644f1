#include "hostcalls/HostRevision.h"

#include "basekit/OwnedHandle.h"
#include "hostcalls/EntryFields.h"
#include "hostcalls/HostInterface.h"

namespace {

// As the host keeps an add-on's block: never more.
constexpr size_t kMaxBlockBytes = 65536;

bool Guid(EntryFields& f, API_Guid& out) {
    std::string text;
    return f.Next(text) && text.size() == 36 && API_Guid::FromString(text, out);
}

int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Hex(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0 || text.size() / 2 > kMaxBlockBytes) return false;
    out.resize(text.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        int high = Digit(text[2 * i]), low = Digit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return true;
}

} // namespace

bool ParseHostRevision(std::string_view bytes, int32_t count, HostRevision& out) {
    out = {};
    if (count <= 0) return count == 0 && bytes.empty();
    out.taken = true;
    EntryFields f(bytes);
    for (int32_t i = 0; i < count; ++i) {
        std::string_view kind;
        if (!f.Next(kind)) return false;
        if (kind == "kept" || kind == "added") {
            HostRevisionElement e;
            if (!Guid(f, e.guid) || !f.Number<int32_t>(e.kind, 1, 42)) return false;
            (kind == "kept" ? out.kept : out.added).push_back(e);
        } else if (kind == "rematched") {
            HostRevisionRematch r;
            if (!Guid(f, r.was) || !Guid(f, r.now) || !f.Number<int32_t>(r.kind, 1, 42) || !f.Next(r.how)) return false;
            out.rematched.push_back(std::move(r));
        } else if (kind == "lost") {
            HostRevisionLost l;
            std::string_view ambiguous, hex;
            if (!Guid(f, l.guid) || !f.Number<int32_t>(l.kind, 1, 42) || !f.Next(l.idText) || !f.Next(ambiguous) ||
                (ambiguous != "0" && ambiguous != "1") || !f.Number<int16_t>(l.version, INT16_MIN, INT16_MAX) || !f.Next(hex) ||
                !Hex(hex, l.bytes))
                return false;
            l.ambiguous = ambiguous == "1";
            out.lost.push_back(std::move(l));
        } else {
            return false;
        }
    }
    return f.AtEnd();
}

GSErr ReadHostRevision(HostRevision& out) {
    out = {};
    uint32_t handle = 0;
    int32_t count = 0;
    GSErr err = HostModelGetRevision(&handle, &count, 0);
    OwnedHandle bytes(handle);
    if (err != kHostNoError) return err;
    std::string_view text(reinterpret_cast<const char*>(bytes.Data()), bytes.Data() ? bytes.Size() : 0);
    return ParseHostRevision(text, count, out) ? kHostNoError : kHostErrBadParameter;
}
