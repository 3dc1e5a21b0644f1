// The record stream the helper program sends the reader, taken as the reader takes it: a header,
// then whole records until one is short or malformed. Whatever the bytes, every record read
// keeps inside them, a product's triangles name its vertices, and a malformed record consumes
// nothing; nothing is thrown. Read with its properties packed, each record reads the same.
#include "host/ifc/stream/ConversionRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (ReadStreamHeader(bytes) != StreamRead::Whole) return 0;
    ConversionRecord record, packed;
    while (true) {
        const std::string_view before = bytes;
        std::string_view again = bytes;
        const StreamRead read = ReadStreamRecord(bytes, record);
        if (ReadStreamRecord(again, packed, IfcPropertiesForm::Packed) != read || again.size() != bytes.size())
            Fail("the packed form read otherwise");
        if (read == StreamRead::Whole && packed.product.packedProperties.Unpacked() != record.product.properties)
            Fail("packed properties not the listed ones");
        if (read != StreamRead::Whole) {
            if (bytes.data() != before.data() || bytes.size() != before.size()) Fail("a record not read took bytes");
            break;
        }
        if (bytes.size() >= before.size()) Fail("a record read took no bytes");
        for (const auto& triangle : record.product.triangles)
            for (int32_t corner : triangle)
                if (corner < 0 || static_cast<size_t>(corner) >= record.product.vertices.size()) Fail("a corner that is no vertex");
    }
    return 0;
}
