#include "linking/RevisionLinkReport.h"

#include "hostcalls/HostInterface.h"
#include "linking/LinksCsv.h"
#include "resources/AddonResources.h"
#include "steptext/IfcGlobalId.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

constexpr int16_t kReport = 32647;
constexpr int16_t kSummary = 1, kRematched = 2, kLost = 3, kLostAmbiguous = 4, kNewUnreached = 5, kCsvHeader = 6,
                  kOutcomeWords = 7; // 7 to 10: kept, re-matched, lost, new

void Report(int16_t item, std::initializer_list<std::string_view> params) {
    HostReportWrite(AddonFormat(kReport, item, params).c_str(), 0);
}

std::string N(size_t n) { return std::to_string(n); }

RevisionLinkRow Row(RevisionLinkRow::Outcome outcome, std::string kindName, std::string idText, const API_Guid& guid) {
    RevisionLinkRow row;
    row.outcome = outcome;
    row.kindName = std::move(kindName);
    row.idText = std::move(idText);
    row.globalId = EncodeIfcGlobalId(guid);
    return row;
}

std::string TaskName(TaskDB& db, int32_t id) {
    try {
        const Task& t = db.TaskById(id);
        return std::string(t.name, strnlen(t.name, sizeof t.name));
    } catch (const std::exception&) {
        return {};
    }
}

ElementLinkRecord ReadOrEmpty(const IElementDisplay& display, int32_t kind, const API_Guid& guid) {
    ElementLinkRecord record;
    try {
        display.ReadElementLink(kind, guid, record);
    } catch (const std::exception&) {
        record = {};
    }
    return record;
}

// One row a linked task of the record.
void AddLinks(RevisionLinkReport& report, TaskDB& db, const ElementLinkRecord& record, RevisionLinkRow base, size_t& count) {
    for (int32_t id : record.Slots()) {
        if (id == 0) continue;
        RevisionLinkRow row = base;
        row.taskId = id;
        row.taskName = TaskName(db, id);
        report.rows.push_back(std::move(row));
        ++count;
    }
}

} // namespace

RevisionLinkReport CollectRevisionLinks(const HostRevision& revision, TaskDB& db, const IElementDisplay& display) {
    using enum RevisionLinkRow::Outcome;
    RevisionLinkReport report;
    report.taken = revision.taken;
    for (const HostRevisionElement& e : revision.kept) {
        auto [kind, id] = display.ElementKindAndId(e.kind, e.guid);
        AddLinks(report, db, ReadOrEmpty(display, e.kind, e.guid), Row(Kept, kind, id, e.guid), report.kept);
    }
    for (const HostRevisionRematch& r : revision.rematched) {
        auto [kind, id] = display.ElementKindAndId(r.kind, r.now);
        RevisionLinkRow base = Row(Rematched, kind, id, r.now);
        base.how = r.how;
        AddLinks(report, db, ReadOrEmpty(display, r.kind, r.now), std::move(base), report.rematched);
    }
    for (const HostRevisionLost& l : revision.lost) {
        if (!ElementLinkRecord::IsAcceptedVersion(l.version) || l.bytes.size() != ElementLinkRecord::kSize) continue;
        ElementLinkRecord record;
        std::copy(l.bytes.begin(), l.bytes.end(), record.bytes.begin());
        RevisionLinkRow base = Row(Lost, display.ElementKindAndId(l.kind, l.guid).first, l.idText, l.guid);
        if (l.ambiguous) base.how = "ambiguous";
        AddLinks(report, db, record, std::move(base), report.lost);
    }
    return report;
}

void AddUnreachedNewElements(RevisionLinkReport& report, const HostRevision& revision, const std::vector<API_Guid>* unreached,
                             const IElementDisplay& display) {
    std::unordered_set<API_Guid, API_GuidHash> notReached;
    if (unreached) notReached.insert(unreached->begin(), unreached->end());
    for (const HostRevisionElement& e : revision.added) {
        if (!IElementDisplay::IsDisplayableKind(e.kind) || (unreached && !notReached.count(e.guid))) continue;
        auto [kind, id] = display.ElementKindAndId(e.kind, e.guid);
        report.rows.push_back(Row(RevisionLinkRow::Outcome::NewUnreached, kind, id, e.guid));
        ++report.newUnreached;
    }
}

void WriteRevisionLinkReport(const RevisionLinkReport& report) {
    using enum RevisionLinkRow::Outcome;
    if (!report.taken) return;
    Report(kSummary, {N(report.kept), N(report.rematched), N(report.lost), N(report.newUnreached)});
    for (const RevisionLinkRow& row : report.rows) {
        switch (row.outcome) {
            case Kept: break; // counted; the CSV names them
            case Rematched: Report(kRematched, {row.kindName, row.idText, row.taskName, row.how}); break;
            case Lost: Report(row.how.empty() ? kLost : kLostAmbiguous, {row.kindName, row.idText, row.taskName}); break;
            case NewUnreached: Report(kNewUnreached, {row.kindName, row.idText}); break;
        }
    }
}

std::string RevisionLinksCsv(const RevisionLinkReport& report) {
    std::string text = "\xEF\xBB\xBF";
    // The header's names are one text, separated as the rows are.
    std::string header = AddonString(kReport, kCsvHeader);
    size_t begin = 0;
    for (size_t bar = header.find('|'); ; bar = header.find('|', begin)) {
        AppendCsvField(text, std::string_view(header).substr(begin, bar == std::string::npos ? std::string::npos : bar - begin),
                       bar == std::string::npos);
        if (bar == std::string::npos) break;
        begin = bar + 1;
    }
    for (const RevisionLinkRow& row : report.rows) {
        AppendCsvField(text, AddonString(kReport, static_cast<int16_t>(kOutcomeWords + static_cast<int16_t>(row.outcome))), false);
        AppendCsvField(text, row.kindName, false);
        AppendCsvField(text, row.idText, false);
        AppendCsvField(text, row.globalId, false);
        AppendCsvField(text, row.taskId ? std::to_string(row.taskId) : std::string(), false);
        AppendCsvField(text, row.taskName, false);
        AppendCsvField(text, row.how, true);
    }
    return text;
}
