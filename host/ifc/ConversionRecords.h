#pragma once
// The records a converting child process sends the reader: that the file was parsed, the
// building's storeys, which product it starts on (sent before the work, so a crash can be put on
// that product), each product read or left out, what it accepted against the letter of IFC, a
// failure of the whole file, and the end.
#include "host/ifc/IfcBuildingData.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RecordKind : uint8_t { Parsed = 1, Begin, Product, Skipped, Failed, End, Storeys };

struct ConversionRecord {
    RecordKind kind = RecordKind::End;
    uint32_t position = 0;       // Begin: the product's place in the file's entity order
    IfcSkippedProduct skipped;   // Begin (GlobalId, class, name, record), Skipped
    IfcProductData product;      // Product
    std::string message;         // Failed
    std::vector<std::string> storeys; // Storeys
};

class RecordWriter {
public:
    explicit RecordWriter(int fd) : fd_(fd) {}
    void Parsed();
    // Written out at once: the product may take the process down. Of `product` its GlobalId,
    // class, name and record go.
    void Begin(uint32_t position, const IfcSkippedProduct& product);
    void Product(const IfcProductData& product);
    void Skipped(const IfcSkippedProduct& skipped);
    void Storeys(const std::vector<std::string>& names);
    void Failed(const std::string& message);
    void End();
    void Flush();
    // Bytes written out so far, the same with those still held, and whether a write fell short.
    uint64_t Written() const { return written_; }
    uint64_t Offset() const { return written_ + buffer_.size(); }
    bool FellShort() const { return failed_; }

private:
    void Put(const void* data, size_t size) { buffer_.append(static_cast<const char*>(data), size); }
    void PutU32(uint32_t v) { Put(&v, sizeof v); }
    void PutIdentity(const IfcSkippedProduct& product);
    void PutString(const std::string& s);
    void PutStrings(const std::vector<std::string>& list);

    int fd_;
    std::string buffer_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

// Takes one whole record off the front of `bytes`; false at the end or at a record cut short or
// malformed (the child stopped while writing it).
bool ReadRecord(std::string_view& bytes, ConversionRecord& out);
