#include "host/ifc/helper/RecordTypes.h"

#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepDataReader.h"
#include "steptext/StepLexemes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <thread>

namespace {

// Fewer records than this are typed on one thread.
constexpr size_t kRecordsPerThread = size_t{1} << 16;

// A name's hash from its length and its first and last eight bytes: names differ there, and
// a hash of every byte costs more than the rest of typing a record.
uint64_t NameHash(std::string_view name) {
    if (name.empty()) return 0;
    uint64_t head = 0, tail = 0;
    const size_t n = std::min<size_t>(name.size(), 8);
    std::memcpy(&head, name.data(), n);
    std::memcpy(&tail, name.data() + name.size() - n, n);
    const uint64_t h = (head * 0x9e3779b97f4a7c15ULL) ^ (tail + name.size()) * 0xc2b2ae3d27d4eb4fULL;
    return h ^ (h >> 29);
}

// The names one stretch of the file writes, numbered in the order it first writes them.
class StretchNames {
public:
    StretchNames() : slots_(kFirstSlots, kEmpty) {}

    uint16_t NumberOf(std::string_view name, uint16_t unnumbered) {
        size_t at = NameHash(name) & (slots_.size() - 1);
        for (; slots_[at] != kEmpty; at = (at + 1) & (slots_.size() - 1))
            if (written[slots_[at]] == name) return slots_[at];
        if (written.size() >= unnumbered) return unnumbered;
        const auto number = static_cast<uint16_t>(written.size());
        written.push_back(name);
        slots_[at] = number;
        if (written.size() * 2 > slots_.size()) Grow();
        return number;
    }

    std::vector<std::string_view> written;

private:
    static constexpr size_t kFirstSlots = 1024; // a power of two, kept at least twice the names
    static constexpr uint16_t kEmpty = UINT16_MAX;

    void Grow() {
        slots_.assign(slots_.size() * 2, kEmpty);
        for (size_t number = 0; number < written.size(); ++number) {
            size_t at = NameHash(written[number]) & (slots_.size() - 1);
            while (slots_[at] != kEmpty) at = (at + 1) & (slots_.size() - 1);
            slots_[at] = static_cast<uint16_t>(number);
        }
    }

    std::vector<uint16_t> slots_;
};

} // namespace

RecordTypes::RecordTypes(std::string_view text, const StepScan& scan, unsigned threads)
    : text_(text), scan_(scan), numbers_(scan.ids.size()) {
    const size_t count = numbers_.size();
    const size_t stretches = std::clamp<size_t>(count / kRecordsPerThread, 1, std::max(1u, threads));
    std::vector<StretchNames> names(stretches);
    auto type = [&](size_t stretch) {
        StretchNames& own = names[stretch];
        std::string_view last;
        uint16_t lastNumber = kUnnumbered;
        for (size_t i = count * stretch / stretches, end = count * (stretch + 1) / stretches; i < end; ++i) {
            const auto position = static_cast<uint32_t>(i);
            const size_t equals = text.find('=', scan.Offset(position));
            uint16_t complex = kComplexBit;
            std::string_view name;
            if (equals != std::string_view::npos) {
                size_t p = equals + 1;
                while (p < text.size() && IsStepBlank(text[p])) ++p;
                if (p < scan.End(position) && text[p] != '(') complex = 0;
                while (p < text.size() && (IsStepBlank(text[p]) || text[p] == '(')) ++p;
                name = text.substr(p, StepNameEnd(text, p) - p);
            }
            // Files write runs of one name: the last is tried before the table.
            if (name != last || i == count * stretch / stretches) {
                last = name;
                lastNumber = own.NumberOf(name, kUnnumbered);
            }
            numbers_[i] = static_cast<uint16_t>(lastNumber | complex);
        }
    };
    {
        std::vector<std::thread> helpers;
        for (size_t s = 1; s < stretches; ++s) helpers.emplace_back(type, s);
        type(0);
        for (auto& h : helpers) h.join();
    }
    // The first stretch's numbers are the file's; the others' are renumbered into them.
    StretchNames& file = names[0];
    for (size_t s = 1; s < stretches; ++s) {
        std::array<uint16_t, kUnnumbered + 1> renumber;
        renumber.fill(kUnnumbered);
        for (size_t local = 0; local < names[s].written.size(); ++local) renumber[local] = file.NumberOf(names[s].written[local], kUnnumbered);
        for (size_t i = count * s / stretches, end = count * (s + 1) / stretches; i < end; ++i)
            numbers_[i] = static_cast<uint16_t>(renumber[numbers_[i] & kNumberMask] | (numbers_[i] & kComplexBit));
    }
    written_ = std::move(file.written);
    upper_.reserve(written_.size());
    for (std::string_view name : written_) {
        std::string& upper = upper_.emplace_back(name);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
}

std::string_view RecordTypes::WrittenAt(uint32_t position) const {
    const uint16_t number = NumberAt(position);
    return number == kUnnumbered ? StepTypeAt(text_, scan_.Offset(position)) : written_[number];
}

std::string RecordTypes::UpperAt(uint32_t position) const {
    const uint16_t number = NumberAt(position);
    return number == kUnnumbered ? RecordTypeAt(text_, scan_, position) : upper_[number];
}

bool RecordTypes::Is(uint32_t position, std::string_view upper) const { return RecordTypeIs(WrittenAt(position), upper); }

bool RecordTypes::Named(std::string_view written, std::initializer_list<std::string_view> names, bool anyCase) const {
    for (std::string_view name : names)
        if (anyCase ? RecordTypeIs(written, name) : written == name) return true;
    return false;
}

std::vector<uint32_t> RecordTypes::Found(std::initializer_list<std::string_view> names, bool anyCase) const {
    // Of each number: 1 when its name is one of them, 2 when its records are to be read again.
    std::array<uint8_t, kUnnumbered + 1> wanted{};
    for (size_t number = 0; number < written_.size(); ++number) wanted[number] = Named(written_[number], names, anyCase) ? 1 : 0;
    wanted[kUnnumbered] = 2;
    std::vector<uint32_t> found;
    for (uint32_t position = 0; position < numbers_.size(); ++position) {
        const uint8_t want = wanted[numbers_[position] & kNumberMask];
        if (want == 1 || (want == 2 && Named(WrittenAt(position), names, anyCase))) found.push_back(position);
    }
    return found;
}

std::vector<uint32_t> RecordTypes::Find(std::initializer_list<std::string_view> uppers) const { return Found(uppers, true); }

std::vector<uint32_t> RecordTypes::FindAsWritten(std::initializer_list<std::string_view> names) const { return Found(names, false); }

std::vector<uint32_t> RecordTypes::FindInNumberOrder(std::initializer_list<std::string_view> uppers) const {
    std::vector<uint32_t> found = Found(uppers, true);
    std::sort(found.begin(), found.end(), [this](uint32_t a, uint32_t b) { return scan_.ids[a] < scan_.ids[b]; });
    return found;
}
