#pragma once
// The records the helper program sends the reader, after one header: that the file was parsed,
// the building's storeys, which product it starts on (sent before the work, so a crash can be put
// on that product), each product read or left out, a product not made on its fixed heap, a
// failure of the whole file, and the end. The reader takes them as outside bytes: every length is
// checked before use. docs/IFC-RECORD-STREAM.md gives them field by field.
#include "host/ifc/building/IfcBuildingData.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The stream's first bytes: its magic and its version, which changes with any record's layout.
constexpr char kRecordStreamMagic[8] = {'Q', 'V', 'I', 'F', 'C', 'R', 'E', 'C'};
constexpr uint32_t kRecordStreamVersion = 1;
constexpr size_t kRecordStreamHeaderBytes = sizeof kRecordStreamMagic + sizeof kRecordStreamVersion;

enum class RecordKind : uint8_t { Parsed = 1, Begin, Product, Skipped, Failed, End, Storeys, OffHeap };

// Why the product just sent may not be the same bytes on every open.
enum class OffHeapCause : uint8_t { HeapNotHad = 1, Leaked };

struct ConversionRecord {
    RecordKind kind = RecordKind::End;
    uint32_t position = 0;       // Begin: the product's place in the file's entity order
    uint32_t products = 0;       // Parsed: how many products with a body this helper is to convert
    IfcSkippedProduct skipped;   // Begin (GlobalId, class, name, record), Skipped
    IfcProductData product;      // Product
    std::string message;         // Failed
    std::vector<std::string> storeys; // Storeys
    OffHeapCause offHeap = OffHeapCause::HeapNotHad; // OffHeap
};

class RecordWriter {
public:
    explicit RecordWriter(int fd) : fd_(fd) {}
    // Once, before any record; written out at once.
    void Header();
    // `products`: how many with a body it is to convert, for the reader's progress.
    void Parsed(uint32_t products);
    // Written out at once: the product may take the process down. Of `product` its GlobalId,
    // class, name and record go.
    void Begin(uint32_t position, const IfcSkippedProduct& product);
    void Product(const IfcProductData& product);
    void Skipped(const IfcSkippedProduct& skipped);
    void Storeys(const std::vector<std::string>& names);
    void OffHeap(OffHeapCause cause);
    void Failed(const std::string& message);
    void End();
    void Flush();
    // Bytes written out so far, the same with those still held, and whether a write fell short.
    uint64_t Written() const { return written_; }
    uint64_t Offset() const { return written_ + buffer_.size(); }
    bool FellShort() const { return failed_; }
    // For the helper's fault seam: from now on nothing more goes out, as when the file is full;
    // or half of what is held goes out and the rest never.
    void Refuse() { failed_ = true; }
    void CutShort();

private:
    void Put(const void* data, size_t size) { buffer_.append(static_cast<const char*>(data), size); }
    void PutU32(uint32_t v) { Put(&v, sizeof v); }
    void PutIdentity(const IfcSkippedProduct& product);
    void PutString(std::string_view s);
    void PutStrings(const std::vector<std::string>& list);

    int fd_;
    std::string buffer_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

enum class StreamRead { Whole, Short, Malformed };

// Takes the header off the front of `bytes`: Short while fewer bytes have come, Malformed for
// another magic or version.
StreamRead ReadStreamHeader(std::string_view& bytes);
// Takes one whole record off the front of `bytes` (Whole); Short at the end or at a record cut
// short, Malformed at one no writer makes (an unknown kind or cause, a triangle whose corner is no
// vertex): `bytes` is left as it was. A product's properties come in the form asked for.
StreamRead ReadStreamRecord(std::string_view& bytes, ConversionRecord& out,
                            IfcPropertiesForm properties = IfcPropertiesForm::Listed);
// Whole records only.
bool ReadRecord(std::string_view& bytes, ConversionRecord& out);
