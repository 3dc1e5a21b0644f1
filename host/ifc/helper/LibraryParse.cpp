#include "host/ifc/helper/LibraryParse.h"

#include "host/ifc/helper/CommonRecords.h"
#include "host/ifc/helper/ModelHeap.h"
#include "steptext/StepLexemes.h"

#include <ifcpp/IFC4/EntityFactory.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <clocale>
#include <exception>
#include <map>
#include <new>
#include <set>
#include <thread>
#include <vector>

namespace {

// Records whose attributes one thread reads at a time: their texts are made just before.
constexpr size_t kBatch = 256;

// Past the string that begins at `at`, or the record's end when it does not end before it.
size_t PastString(std::string_view text, size_t at, size_t end) { return std::min(StepStringEnd(text.substr(0, end), at), end); }

// Where the record's attributes begin, its '(' after the entity name, and the name upper case
// as the library takes it; npos for a complex instance, which the library does not read.
size_t NameOf(std::string_view text, size_t offset, size_t end, std::string& name) {
    size_t p = text.find('=', offset);
    if (p == std::string_view::npos || p >= end) return std::string_view::npos;
    ++p;
    while (p < end && IsStepBlank(text[p])) ++p;
    const size_t begin = p;
    while (p < end && std::isalnum(static_cast<unsigned char>(text[p]))) ++p;
    if (p == begin) return std::string_view::npos;
    name.assign(text.substr(begin, p - begin));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "IFC2DCOMPOSITECURVE") name = "IFCCOMPOSITECURVE"; // as the library mends it
    return text.find('(', p);
}

// Characters AttributeText looks at one by one; runs of others are copied whole.
constexpr std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> special{};
    for (unsigned char c : std::string_view(" \t\r\n\f\v'/!")) special[c] = true;
    return special;
}();

// The attributes as the library's own reading hands them on: blanks, line ends and comments
// outside strings left out, strings as written.
void AttributeText(std::string_view text, size_t from, size_t end, std::string& out) {
    out.clear();
    for (size_t p = from; p < end;) {
        size_t plain = p;
        while (plain < end && !kSpecial[static_cast<unsigned char>(text[plain])]) ++plain;
        out.append(text.data() + p, plain - p);
        if (plain == end) break;
        p = plain;
        const char c = text[p];
        if (c == '\'') {
            const size_t past = PastString(text, p, end);
            out.append(text.substr(p, past - p));
            p = past;
        } else if (StepCommentAt(text.substr(0, end), p)) {
            const size_t close = text.find("*/", p + 2);
            p = close == std::string_view::npos ? end : close + 2;
        } else if (c == '!' && p + 1 < end && (text[p + 1] == '\r' || text[p + 1] == '\n')) {
            p += 2;
        } else {
            if (!IsStepBlank(c)) out += c;
            ++p;
        }
    }
}

using EntityMap = std::map<int, shared_ptr<BuildingEntity>>;

// The records the library may make, by index: every record, or, when the plan leaves most of a
// file unmade, those it does not, so that what is kept of each record is kept of these only.
class MadeRecords {
public:
    MadeRecords(const StepScan& scan, const std::vector<RecordUse>* use) : count_(scan.ids.size()) {
        if (!use) return;
        const auto made = static_cast<size_t>(count_ - std::count(use->begin(), use->end(), RecordUse::Unmade));
        if (made > count_ / kSparseFrom) return;
        places_.reserve(made);
        for (uint32_t position = 0; position < count_; ++position)
            if ((*use)[position] != RecordUse::Unmade) places_.push_back(position);
        sparse_ = true;
        count_ = made;
    }

    size_t Count() const { return count_; }
    uint32_t Place(size_t index) const { return sparse_ ? places_[index] : static_cast<uint32_t>(index); }
    // The indices in the order of the records' numbers.
    std::vector<uint32_t> InNumberOrder(const StepScan& scan) const {
        if (!sparse_) return scan.InNumberOrder();
        std::vector<std::pair<int, uint32_t>> byNumber(count_);
        for (uint32_t index = 0; index < count_; ++index) byNumber[index] = {scan.ids[places_[index]], index};
        // Most files number their records in the order they write them.
        if (!std::is_sorted(byNumber.begin(), byNumber.end())) std::sort(byNumber.begin(), byNumber.end());
        std::vector<uint32_t> order(count_);
        for (size_t i = 0; i < count_; ++i) order[i] = byNumber[i].second;
        return order;
    }

private:
    // A share made of no more than this part of the records is kept by places.
    static constexpr size_t kSparseFrom = 4;

    size_t count_;
    bool sparse_ = false;
    std::vector<uint32_t> places_;
};

// The map of every entity by number, the largest part of the library's model once the file is
// read, serves after that only to find the products: it is made again of those, and its nodes
// given back to the system whole, never taken apart. What they held stays owned for as long as
// the process lives.
void DropEntityMap(EntityMap& map, const StepScan& scan, const MadeRecords& records,
                   const std::vector<shared_ptr<BuildingEntity>>& entities, const std::vector<uint32_t>& inNumberOrder) {
    new (&map) EntityMap();
    for (uint32_t k : inNumberOrder)
        if (scan.MayBeProduct(records.Place(k)) && dynamic_cast<const IfcProduct*>(entities[k].get()))
            map.emplace_hint(map.end(), scan.ids[records.Place(k)], entities[k]);
    ModelHeap::DropScratch();
}

// ParseWithLibrary; the entities by place only when `byPlace`, a table of every record's.
std::vector<BuildingEntity*> Parse(std::string_view text, const StepScan& scan, shared_ptr<BuildingModel>& model, LibraryMessages& messages,
                                   unsigned threads, const BesideInverses& beside, const std::vector<RecordUse>* use, bool byPlace) {
    ReaderSTEP reader;
    messages.Listen(reader);
    {
        const size_t data = text.find("DATA;");
        reader.readHeader(std::string(text.substr(0, data == std::string_view::npos ? text.size() : data)), model);
    }
    // The library reads numbers with the C library, in the C locale as its own reading sets it.
    std::setlocale(LC_NUMERIC, "C");
    const BuildingModel::SchemaVersion version = model->getIfcSchemaVersion();

    // Every entity first, so that the attributes can refer to any of them: a share of the records
    // made on each thread, then all put in the map in number order, each at its end.
    const size_t count = scan.ids.size();
    if (use && use->size() != count) use = nullptr;
    const MadeRecords records(scan, use);
    const size_t made = records.Count();
    const unsigned workers = std::max(1u, threads);
    std::vector<shared_ptr<BuildingEntity>> entities(made);
    std::vector<size_t> open(made, std::string_view::npos);
    std::vector<std::set<std::string>> unknownTo(workers);
    auto make = [&](unsigned worker) {
        std::string name;
        for (size_t k = made * worker / workers, end = made * (worker + 1) / workers; k < end; ++k) {
            const uint32_t i = records.Place(k);
            if (use && (*use)[i] == RecordUse::Unmade) continue;
            const size_t at = NameOf(text, scan.Offset(i), scan.End(i), name);
            if (at == std::string_view::npos) continue;
            BuildingEntity* entity = EntityFactory::createEntityObject(name);
            if (!entity) {
                unknownTo[worker].insert(name);
                continue;
            }
            entity->m_entity_id = scan.ids[i];
            entities[k] = shared_ptr<BuildingEntity>(entity);
            open[k] = at;
        }
    };
    {
        std::vector<std::thread> helpers;
        for (unsigned t = 1; t < workers; ++t) helpers.emplace_back(make, t);
        make(0);
        for (auto& h : helpers) h.join();
    }
    std::set<std::string> unknown;
    for (const auto& names : unknownTo) unknown.insert(names.begin(), names.end());
    // As the library's own insertion does it, without looking for the number first; the nodes
    // on pages of their own (DropEntityMap).
    auto& map = const_cast<EntityMap&>(model->getMapIfcEntities());
    const std::vector<uint32_t> inNumberOrder = records.InNumberOrder(scan);
    {
        ModelHeap::Scratch nodes;
        for (uint32_t k : inNumberOrder)
            if (entities[k]) map.emplace_hint(map.end(), scan.ids[records.Place(k)], entities[k]);
    }
    if (!unknown.empty()) {
        std::string said = "readData: unknown entity: ";
        for (const auto& n : unknown) said += "unknown IFC entity: " + n + "\n";
        messages.Add(said);
    }

    std::atomic<size_t> next{0};
    auto read = [&]() {
        std::vector<std::pair<std::string, shared_ptr<BuildingEntity>>> batch;
        for (size_t start; (start = next.fetch_add(kBatch)) < made;) {
            batch.clear();
            for (size_t k = start; k < std::min(made, start + kBatch); ++k) {
                if (!entities[k] || (use && (*use)[records.Place(k)] == RecordUse::Bare)) continue;
                batch.emplace_back(std::string(), entities[k]);
                // Up to, not with, the record's ';'.
                AttributeText(text, open[k], scan.End(records.Place(k)) - 1, batch.back().first);
                if (ReadCommonRecord(*entities[k], batch.back().first, map)) batch.pop_back();
            }
            reader.readEntityArguments(version, batch, map);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < workers; ++t) helpers.emplace_back(read);
    read();
    for (auto& h : helpers) h.join();

    std::vector<BuildingEntity*> inFileOrder(byPlace || beside ? count : 0);
    if (!inFileOrder.empty())
        for (size_t k = 0; k < made; ++k) inFileOrder[records.Place(k)] = entities[k].get();
    // The entities' own attributes are all read: what looks only at them goes on beside the
    // library's inverse attributes, which it finds on one thread.
    std::exception_ptr besideFailed;
    std::thread besideThread;
    if (beside && workers > 1) {
        besideThread = std::thread([&] {
            try {
                beside(inFileOrder);
            } catch (...) {
                besideFailed = std::current_exception();
            }
        });
    }
    try {
        model->resolveInverseAttributes();
        model->updateCache();
        DropEntityMap(map, scan, records, entities, inNumberOrder);
    } catch (...) {
        if (besideThread.joinable()) besideThread.join();
        throw;
    }
    if (besideThread.joinable()) besideThread.join();
    else if (beside) beside(inFileOrder);
    if (besideFailed) std::rethrow_exception(besideFailed);
    return inFileOrder;
}

} // namespace

std::vector<BuildingEntity*> ParseWithLibrary(std::string_view text, const StepScan& scan, shared_ptr<BuildingModel>& model,
                                              LibraryMessages& messages, unsigned threads, const BesideInverses& beside,
                                              const std::vector<RecordUse>* use) {
    return Parse(text, scan, model, messages, threads, beside, use, true);
}

void ParseShareWithLibrary(std::string_view text, const StepScan& scan, shared_ptr<BuildingModel>& model, LibraryMessages& messages,
                           unsigned threads, const std::vector<RecordUse>& use) {
    Parse(text, scan, model, messages, threads, {}, &use, false);
}

size_t LibraryRecordName(std::string_view text, size_t offset, size_t end, std::string& name) {
    return NameOf(text, offset, end, name);
}

void LibraryAttributeText(std::string_view text, size_t from, size_t end, std::string& out) { AttributeText(text, from, end, out); }
