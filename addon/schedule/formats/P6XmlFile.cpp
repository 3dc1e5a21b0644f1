#include "schedule/formats/P6XmlFile.h"

#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/formats/XmlElements.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/NumberText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>

namespace {

std::optional<DependencyType> DependencyTypeOf(std::string_view text) {
    if (text == "Finish to Start" || text.empty()) return DependencyType::FinishToStart;
    if (text == "Start to Start") return DependencyType::StartToStart;
    if (text == "Finish to Finish") return DependencyType::FinishToFinish;
    if (text == "Start to Finish") return DependencyType::StartToFinish;
    return std::nullopt;
}

// P6 writes percents as fractions of one, in the field the activity's percent type names.
uint8_t PercentOf(const pugi::xml_node& activity) {
    std::string_view kind = ChildText(activity, "PercentCompleteType");
    std::optional<double> fraction;
    if (kind == "Physical") fraction = DecimalOf(ChildText(activity, "PhysicalPercentComplete"));
    else if (kind == "Duration") fraction = DecimalOf(ChildText(activity, "DurationPercentComplete"));
    else if (kind == "Units") fraction = DecimalOf(ChildText(activity, "UnitsPercentComplete"));
    if (!fraction) fraction = DecimalOf(ChildText(activity, "PercentComplete"));
    if (!fraction) fraction = DecimalOf(ChildText(activity, "PhysicalPercentComplete"));
    if (!fraction) {
        std::string_view status = ChildText(activity, "Status");
        if (status == "Completed") fraction = 1;
        else if (status == "Not Started") fraction = 0;
    }
    if (!fraction) return TaskPlan::kNoPercent;
    return static_cast<uint8_t>(std::clamp(std::round(*fraction * 100.0), 0.0, 100.0));
}

int32_t UidOf(std::string_view text) {
    return static_cast<int32_t>(std::clamp<int64_t>(IntegerOf(text).value_or(0), 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

struct P6XmlFile::Document {
    pugi::xml_document xml;
    std::vector<size_t> lineEnds; // byte offsets of the line feeds
    std::vector<pugi::xml_node> projects;

    size_t LineAt(ptrdiff_t offset) const {
        if (offset < 0) return 0;
        return static_cast<size_t>(std::upper_bound(lineEnds.begin(), lineEnds.end(), static_cast<size_t>(offset)) - lineEnds.begin()) + 1;
    }
    size_t LineOf(const pugi::xml_node& node) const { return LineAt(node.offset_debug()); }
};

P6XmlFile::P6XmlFile() = default;
P6XmlFile::~P6XmlFile() = default;

bool P6XmlFile::Load(std::string_view bytes, P6XmlError& error) {
    projects_.clear();
    document_ = std::make_unique<Document>();
    for (size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) document_->lineEnds.push_back(at);
    pugi::xml_parse_result parsed = document_->xml.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        error = {P6XmlError::NotXml, document_->LineAt(parsed.offset), {}};
        document_.reset();
        return false;
    }
    pugi::xml_node root = document_->xml.document_element();
    if (!IsElementNamed(root, "APIBusinessObjects")) {
        error = {P6XmlError::NotP6, 0, {}};
        document_.reset();
        return false;
    }
    for (pugi::xml_node p : root.children()) {
        if (!IsElementNamed(p, "Project")) continue;
        document_->projects.push_back(p);
        P6Project& project = projects_.emplace_back();
        project.id = ChildText(p, "ObjectId");
        project.name = ChildText(p, "Id");
        std::string_view name = ChildText(p, "Name");
        if (!name.empty()) project.name += (project.name.empty() ? "" : " - ") + std::string(name);
        if (project.name.empty()) project.name = project.id;
    }
    return true;
}

bool P6XmlFile::Build(size_t index, P6Schedule& out, P6XmlError& error) const {
    out = {};
    if (!document_ || index >= document_->projects.size()) return false;
    const pugi::xml_node root = document_->xml.document_element();
    const pugi::xml_node project = document_->projects[index];
    // What the whole document and what the project define alike: codes, their types, user fields.
    auto each = [&](std::string_view name, auto&& use) {
        for (const pugi::xml_node& holder : {root, project})
            for (pugi::xml_node n : holder.children())
                if (IsElementNamed(n, name)) use(n);
    };

    std::set<std::string, std::less<>> typeCodeTypes, typeFields;
    each("ActivityCodeType", [&](const pugi::xml_node& n) {
        if (IsTypeFieldName(ChildText(n, "Name"))) typeCodeTypes.emplace(ChildText(n, "ObjectId"));
    });
    std::unordered_map<std::string, ConstructionType> typeOfCode;
    size_t ignored = 0;
    each("ActivityCode", [&](const pugi::xml_node& n) {
        if (!typeCodeTypes.count(ChildText(n, "CodeTypeObjectId"))) return;
        auto type = ConstructionTypeOfText(Utf8ToCodePage(ChildText(n, "CodeValue"), ignored));
        if (!type) type = ConstructionTypeOfText(Utf8ToCodePage(ChildText(n, "Description"), ignored));
        if (type) typeOfCode.emplace(ChildText(n, "ObjectId"), *type);
    });
    each("UDFType", [&](const pugi::xml_node& n) {
        if (ChildText(n, "SubjectArea") == "Activity" && IsTypeFieldName(ChildText(n, "Title"))) typeFields.emplace(ChildText(n, "ObjectId"));
    });
    std::unordered_map<std::string, ConstructionType> assignedType; // by the activity's ObjectId
    each("ActivityCodeAssignment", [&](const pugi::xml_node& n) {
        if (auto at = typeOfCode.find(std::string(ChildText(n, "ActivityCodeObjectId"))); at != typeOfCode.end())
            assignedType[std::string(ChildText(n, "ActivityObjectId"))] = at->second;
    });

    P6ProjectPlan plan;
    std::set<std::string, std::less<>> wbsIds;
    for (pugi::xml_node n : project.children()) {
        if (!IsElementNamed(n, "WBS") || !wbsIds.emplace(ChildText(n, "ObjectId")).second) continue;
        P6Wbs& w = plan.wbs.emplace_back();
        w.id = ChildText(n, "ObjectId");
        w.parentId = ChildText(n, "ParentObjectId");
        w.code = ChildText(n, "Code");
        w.name = ChildText(n, "Name");
        w.seq = IntegerOf(ChildText(n, "SequenceNumber")).value_or(0);
    }

    struct DateField {
        const char* name;
        std::optional<DateTime> P6Activity::*into;
    };
    const DateField dates[] = {{"ActualStartDate", &P6Activity::actualStart},   {"ActualFinishDate", &P6Activity::actualFinish},
                               {"EarlyStartDate", &P6Activity::currentStart},   {"EarlyFinishDate", &P6Activity::currentFinish},
                               {"StartDate", &P6Activity::currentStart},        {"FinishDate", &P6Activity::currentFinish},
                               {"PlannedStartDate", &P6Activity::plannedStart}, {"PlannedFinishDate", &P6Activity::plannedFinish}};
    for (pugi::xml_node n : project.children()) {
        if (!IsElementNamed(n, "Activity")) continue;
        P6Activity& a = plan.activities.emplace_back();
        std::string_view objectId = ChildText(n, "ObjectId");
        a.wbsId = ChildText(n, "WBSObjectId");
        a.code = ChildText(n, "Id");
        a.name = ChildText(n, "Name");
        a.uid = UidOf(objectId);
        // The dates P6 shows, its current start and finish, before the early ones it computed.
        bool dated = false;
        for (const DateField& d : dates) {
            pugi::xml_node field = ChildNamed(n, d.name);
            std::string_view text = ChildText(n, d.name);
            if (text.empty()) continue;
            std::optional<DateTime> moment = P6MomentOf(text, 'T');
            if (!moment) {
                error = {P6XmlError::UnknownDate, document_->LineOf(field), std::string(text.substr(0, 40))};
                return false;
            }
            a.*d.into = moment;
            dated = true;
        }
        if (!dated) {
            error = {P6XmlError::NoDates, document_->LineOf(n), std::string(a.code.empty() ? a.name : a.code).substr(0, 40)};
            return false;
        }
        std::string_view kind = ChildText(n, "Type");
        a.kind = kind == "Start Milestone" ? P6ActivityKind::StartMilestone
                 : kind == "Finish Milestone" ? P6ActivityKind::FinishMilestone
                                              : P6ActivityKind::Task;
        a.percentComplete = PercentOf(n);
        if (auto at = assignedType.find(std::string(objectId)); at != assignedType.end()) a.type = at->second;
        for (pugi::xml_node c : n.children()) {
            if (IsElementNamed(c, "Code")) {
                if (auto at = typeOfCode.find(std::string(ChildText(c, "ValueObjectId"))); at != typeOfCode.end()) a.type = at->second;
            }
        }
        // A user field overrides a code, as in the XER export.
        for (pugi::xml_node c : n.children()) {
            if (!IsElementNamed(c, "UDF") || !typeFields.count(ChildText(c, "TypeObjectId"))) continue;
            if (auto type = ConstructionTypeOfText(Utf8ToCodePage(ChildText(c, "TextValue"), ignored))) a.type = type;
        }
    }

    each("Relationship", [&](const pugi::xml_node& n) {
        auto to = IntegerOf(ChildText(n, "SuccessorActivityObjectId")), from = IntegerOf(ChildText(n, "PredecessorActivityObjectId"));
        auto type = DependencyTypeOf(ChildText(n, "Type"));
        if (!to || !from || !type) return;
        plan.relationships.push_back({*to, *from, *type, DecimalOf(ChildText(n, "Lag")).value_or(0)});
    });
    BuildP6Schedule(plan, out);
    return true;
}
