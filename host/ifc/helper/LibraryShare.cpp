#include "host/ifc/helper/LibraryShare.h"

#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepValues.h"

std::vector<RecordUse> LibraryShare(std::string_view text, const StepScan& scan, const RecordTypes& types,
                                    const std::vector<uint32_t>& products) {
    const size_t count = scan.ids.size();
    auto attributes = [&](uint32_t position) {
        return StepAttributes(text.substr(scan.Offset(position), scan.End(position) - scan.Offset(position)));
    };
    auto place = [&](int id) -> int64_t { return id < 0 ? -1 : scan.Position(id); };
    // `cut`: the products and their wholes, whose openings are cut from them.
    std::vector<bool> read(count, false), isProduct(count, false), cut(count, false);
    for (uint32_t product : products) {
        MarkRecordsBelow(scan, product, read);
        isProduct[product] = cut[product] = true;
    }
    // The wholes the products are parts of, whose openings are cut from their parts too.
    std::vector<uint32_t> voids;
    for (uint32_t position : types.Find({"IFCPROJECT", "IFCRELVOIDSELEMENT", "IFCRELAGGREGATES"})) {
        const std::string_view type = types.WrittenAt(position);
        if (RecordTypeIs(type, "IFCPROJECT")) {
            MarkRecordsBelow(scan, position, read);
        } else if (RecordTypeIs(type, "IFCRELVOIDSELEMENT")) {
            voids.push_back(position);
        } else if (RecordTypeIs(type, "IFCRELAGGREGATES")) {
            const std::vector<std::string_view> a = attributes(position);
            if (a.size() < 6) continue;
            bool ofProduct = false;
            for (int id : StepReferences(a[5]))
                if (const int64_t part = place(id); part >= 0 && isProduct[static_cast<size_t>(part)]) ofProduct = true;
            const int64_t whole = place(StepReference(a[4]));
            if (!ofProduct || whole < 0) continue;
            read[position] = true; // its other parts made bare
            MarkRecordsBelow(scan, static_cast<uint32_t>(whole), read);
            cut[static_cast<size_t>(whole)] = true;
        }
    }
    for (uint32_t position : voids) {
        const std::vector<std::string_view> a = attributes(position);
        const int64_t element = a.size() < 6 ? -1 : place(StepReference(a[4]));
        if (element >= 0 && cut[static_cast<size_t>(element)]) MarkRecordsBelow(scan, position, read);
    }
    std::vector<RecordUse> use(count, RecordUse::Unmade);
    for (uint32_t position = 0; position < count; ++position) {
        if (!read[position]) continue;
        use[position] = RecordUse::Read;
        for (int ref : scan.References(position))
            if (const int64_t at = scan.Position(ref); at >= 0 && !read[static_cast<size_t>(at)]) use[static_cast<size_t>(at)] = RecordUse::Bare;
    }
    return use;
}
