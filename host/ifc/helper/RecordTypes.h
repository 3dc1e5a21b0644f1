#pragma once
// Every record's entity name (StepTypeAt: a complex instance's first) as a small number, found in
// one pass over the file for all its readers: a file writes a few hundred names millions of
// times, and a reader that wants a few kinds of record then looks at two bytes of each rather
// than at its text. Names are numbered as written, in the order the file first writes them; a
// file that writes more names than a number holds has the rest read from the text again.
// Two bytes a record.
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class RecordTypes {
public:
    // The records typed on `threads` threads, each a stretch of the file.
    RecordTypes(std::string_view text, const StepScan& scan, unsigned threads = 1);

    // A record whose name has no number of its own.
    static constexpr uint16_t kUnnumbered = 0x7fff;

    size_t Count() const { return numbers_.size(); }
    // The number of the record's name, or kUnnumbered.
    uint16_t NumberAt(uint32_t position) const { return numbers_[position] & kNumberMask; }
    // A complex instance `#N = (A(...) B(...));`, whose name is that of its first part.
    bool ComplexAt(uint32_t position) const { return (numbers_[position] & kComplexBit) != 0; }
    // The name as written, of a number below kUnnumbered.
    std::string_view Written(uint16_t number) const { return written_[number]; }
    // The record's name as written (StepTypeAt).
    std::string_view WrittenAt(uint32_t position) const;
    // Whether the record's name is `upper` in any case (RecordTypeIs).
    bool Is(uint32_t position, std::string_view upper) const;
    // The record's name upper case (RecordTypeAt).
    std::string UpperAt(uint32_t position) const;

    // The records of any of the names, each upper case, written in any case; in file order.
    std::vector<uint32_t> Find(std::initializer_list<std::string_view> uppers) const;
    // The same in the order of their numbers (StepScan::InNumberOrder).
    std::vector<uint32_t> FindInNumberOrder(std::initializer_list<std::string_view> uppers) const;
    // The records of any of the names written exactly so, in file order.
    std::vector<uint32_t> FindAsWritten(std::initializer_list<std::string_view> names) const;

private:
    static constexpr uint16_t kComplexBit = 0x8000;
    static constexpr uint16_t kNumberMask = 0x7fff;

    bool Named(std::string_view written, std::initializer_list<std::string_view> names, bool anyCase) const;
    std::vector<uint32_t> Found(std::initializer_list<std::string_view> names, bool anyCase) const;

    std::string_view text_;
    const StepScan& scan_;
    std::vector<uint16_t> numbers_;     // by place in the file, the complex bit with the number
    std::vector<std::string_view> written_; // by number, into the text
    std::vector<std::string> upper_;        // by number
};
