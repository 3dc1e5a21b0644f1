#include "host/ifc/stream/ConversionRecords.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}
    bool Get(void* out, size_t size) {
        if (size > bytes_.size()) return false;
        if (size == 0) return true; // an empty list's data may be no pointer at all
        std::memcpy(out, bytes_.data(), size);
        bytes_.remove_prefix(size);
        return true;
    }
    bool U32(uint32_t& v) { return Get(&v, sizeof v); }
    bool String(std::string& s) {
        uint32_t n;
        if (!U32(n) || n > bytes_.size()) return false;
        s.assign(bytes_.data(), n);
        bytes_.remove_prefix(n);
        return true;
    }
    template <typename T>
    bool Array(std::vector<T>& v) {
        uint32_t n;
        if (!U32(n) || n > bytes_.size() / sizeof(T)) return false;
        v.resize(n);
        return Get(v.data(), n * sizeof(T));
    }
    bool Strings(std::vector<std::string>& list) {
        uint32_t n;
        // Every text takes at least its length's four bytes.
        if (!U32(n) || n > bytes_.size() / 4) return false;
        list.resize(n);
        for (std::string& s : list)
            if (!String(s)) return false;
        return true;
    }
    // The stream lays the pairs out as IfcPackedProperties does.
    bool Packed(IfcPackedProperties& packed) {
        uint32_t n;
        if (!U32(n) || n > bytes_.size() / 8) return false;
        return packed.Take(bytes_, n);
    }
    bool Pairs(std::vector<std::pair<std::string, std::string>>& list) {
        uint32_t n;
        if (!U32(n) || n > bytes_.size() / 8) return false;
        list.resize(n);
        for (auto& [a, b] : list)
            if (!String(a) || !String(b)) return false;
        return true;
    }
    bool Identity(IfcSkippedProduct& s) {
        uint32_t record;
        if (!String(s.globalId) || !String(s.ifcClass) || !String(s.name) || !U32(record) || record > INT32_MAX) return false;
        s.record = static_cast<int>(record);
        return true;
    }
    std::string_view Rest() const { return bytes_; }

private:
    std::string_view bytes_;
};

} // namespace

void RecordWriter::PutString(std::string_view s) {
    PutU32(static_cast<uint32_t>(s.size()));
    Put(s.data(), s.size());
}

void RecordWriter::PutStrings(const std::vector<std::string>& list) {
    PutU32(static_cast<uint32_t>(list.size()));
    for (const std::string& s : list) PutString(s);
}

void RecordWriter::Header() {
    Put(kRecordStreamMagic, sizeof kRecordStreamMagic);
    PutU32(kRecordStreamVersion);
    Flush();
}

void RecordWriter::Parsed(uint32_t products) {
    buffer_ += static_cast<char>(RecordKind::Parsed);
    PutU32(products);
}

void RecordWriter::PutIdentity(const IfcSkippedProduct& s) {
    PutString(s.globalId);
    PutString(s.ifcClass);
    PutString(s.name);
    PutU32(static_cast<uint32_t>(s.record));
}

void RecordWriter::Begin(uint32_t position, const IfcSkippedProduct& product) {
    buffer_ += static_cast<char>(RecordKind::Begin);
    PutU32(position);
    PutIdentity(product);
    Flush();
}

void RecordWriter::Product(const IfcProductData& p) {
    buffer_ += static_cast<char>(RecordKind::Product);
    Put(p.guid.bytes.data(), p.guid.bytes.size());
    for (const std::string* s : {&p.globalId, &p.ifcClass, &p.predefinedType, &p.name, &p.tag, &p.layer, &p.storey,
                                 &p.objectType, &p.description})
        PutString(*s);
    PutStrings(p.materials);
    PutStrings(p.classifications);
    PutU32(static_cast<uint32_t>(p.properties.size() + p.packedProperties.Size()));
    for (const auto& [key, value] : p.properties) {
        PutString(key);
        PutString(value);
    }
    p.packedProperties.ForEach([this](std::string_view key, std::string_view value) {
        PutString(key);
        PutString(value);
    });
    buffer_ += static_cast<char>(p.hasColour ? 1 : 0);
    Put(p.rgb.data(), sizeof p.rgb);
    Put(&p.transparency, sizeof p.transparency);
    PutU32(static_cast<uint32_t>(p.vertices.size()));
    Put(p.vertices.data(), p.vertices.size() * sizeof p.vertices[0]);
    PutU32(static_cast<uint32_t>(p.triangles.size()));
    Put(p.triangles.data(), p.triangles.size() * sizeof p.triangles[0]);
    if (buffer_.size() > (1u << 20)) Flush();
}

void RecordWriter::Skipped(const IfcSkippedProduct& s) {
    buffer_ += static_cast<char>(RecordKind::Skipped);
    PutIdentity(s);
    PutString(s.reason);
    buffer_ += static_cast<char>(s.cause);
}

void RecordWriter::Storeys(const std::vector<std::string>& names) {
    buffer_ += static_cast<char>(RecordKind::Storeys);
    PutStrings(names);
}

void RecordWriter::Failed(const std::string& message) {
    buffer_ += static_cast<char>(RecordKind::Failed);
    PutString(message);
}

void RecordWriter::OffHeap(OffHeapCause cause) {
    buffer_ += static_cast<char>(RecordKind::OffHeap);
    buffer_ += static_cast<char>(cause);
}

void RecordWriter::CutShort() {
    buffer_.resize(buffer_.size() / 2);
    Flush();
}

void RecordWriter::End() { buffer_ += static_cast<char>(RecordKind::End); }

void RecordWriter::Flush() {
    if (failed_) {
        buffer_.clear();
        return;
    }
    const char* at = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        ssize_t n = write(fd_, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            break; // the reader is gone; nothing is waiting for the rest
        }
        at += n;
        left -= static_cast<size_t>(n);
        written_ += static_cast<uint64_t>(n);
    }
    buffer_.clear();
}

StreamRead ReadStreamHeader(std::string_view& bytes) {
    const size_t have = std::min(bytes.size(), sizeof kRecordStreamMagic);
    if (have > 0 && std::memcmp(bytes.data(), kRecordStreamMagic, have) != 0) return StreamRead::Malformed;
    if (bytes.size() < kRecordStreamHeaderBytes) return StreamRead::Short;
    uint32_t version;
    std::memcpy(&version, bytes.data() + sizeof kRecordStreamMagic, sizeof version);
    if (version != kRecordStreamVersion) return StreamRead::Malformed;
    bytes.remove_prefix(kRecordStreamHeaderBytes);
    return StreamRead::Whole;
}

bool ReadRecord(std::string_view& bytes, ConversionRecord& out) { return ReadStreamRecord(bytes, out) == StreamRead::Whole; }

StreamRead ReadStreamRecord(std::string_view& bytes, ConversionRecord& out, IfcPropertiesForm properties) {
    RecordReader r(bytes);
    uint8_t kind;
    if (!r.Get(&kind, 1)) return StreamRead::Short;
    if (kind < static_cast<uint8_t>(RecordKind::Parsed) || kind > static_cast<uint8_t>(RecordKind::OffHeap))
        return StreamRead::Malformed;
    out = ConversionRecord{};
    out.kind = static_cast<RecordKind>(kind);
    bool ok = false;
    switch (out.kind) {
    case RecordKind::Parsed:
        ok = r.U32(out.products);
        break;
    case RecordKind::End:
        ok = true;
        break;
    case RecordKind::Begin:
        ok = r.U32(out.position) && r.Identity(out.skipped);
        break;
    case RecordKind::Product: {
        IfcProductData& p = out.product;
        uint8_t colour = 0;
        ok = r.Get(p.guid.bytes.data(), p.guid.bytes.size());
        for (std::string* s : {&p.globalId, &p.ifcClass, &p.predefinedType, &p.name, &p.tag, &p.layer, &p.storey,
                               &p.objectType, &p.description})
            ok = ok && r.String(*s);
        ok = ok && r.Strings(p.materials) && r.Strings(p.classifications) &&
             (properties == IfcPropertiesForm::Packed ? r.Packed(p.packedProperties) : r.Pairs(p.properties));
        ok = ok && r.Get(&colour, 1) && r.Get(p.rgb.data(), sizeof p.rgb) && r.Get(&p.transparency, sizeof p.transparency) &&
             r.Array(p.vertices) && r.Array(p.triangles);
        p.hasColour = colour != 0;
        if (ok)
            for (const auto& triangle : p.triangles)
                for (int32_t corner : triangle)
                    if (corner < 0 || static_cast<size_t>(corner) >= p.vertices.size()) return StreamRead::Malformed;
        break;
    }
    case RecordKind::Skipped: {
        uint8_t cause = 0;
        ok = r.Identity(out.skipped) && r.String(out.skipped.reason) && r.Get(&cause, 1);
        if (ok && cause >= kIfcLeftOutCauses) return StreamRead::Malformed;
        out.skipped.cause = static_cast<IfcLeftOutCause>(cause);
        break;
    }
    case RecordKind::Failed:
        ok = r.String(out.message);
        break;
    case RecordKind::Storeys:
        ok = r.Strings(out.storeys);
        break;
    case RecordKind::OffHeap: {
        uint8_t cause = 0;
        ok = r.Get(&cause, 1);
        if (ok && cause != static_cast<uint8_t>(OffHeapCause::HeapNotHad) && cause != static_cast<uint8_t>(OffHeapCause::Leaked))
            return StreamRead::Malformed;
        out.offHeap = static_cast<OffHeapCause>(cause);
        break;
    }
    }
    if (!ok) return StreamRead::Short;
    bytes = r.Rest();
    return StreamRead::Whole;
}
