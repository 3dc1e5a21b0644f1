#include "host/project/WorkSchedulesStoredForm.h"

#include <algorithm>
#include <cmath>

using nlohmann::json;

namespace {

constexpr int64_t kMaxLevel = 1000;
constexpr double kMaxLagSeconds = 1e9;

// UTF-8 cut where a character begins.
std::string Cut(const std::string& text) {
    if (text.size() <= kMaxStoredScheduleText) return text;
    size_t end = kMaxStoredScheduleText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

json Texts(const std::vector<std::string>& texts) {
    json out = json::array();
    for (const std::string& t : texts) out.push_back(Cut(t));
    return out;
}

const json& Member(const json& j, const char* key, const std::string& place) {
    if (!j.is_object()) throw EWorkSchedulesForm(place, "expected an object");
    if (!j.contains(key)) throw EWorkSchedulesForm(place + "/" + key, "missing");
    return j.at(key);
}

const json& List(const json& j, const std::string& place) {
    if (!j.is_array()) throw EWorkSchedulesForm(place, "expected a list");
    return j;
}

const json& Tuple(const json& j, size_t size, const std::string& place) {
    if (!j.is_array() || j.size() != size) throw EWorkSchedulesForm(place, "expected a list of " + std::to_string(size));
    return j;
}

std::string Text(const json& j, const std::string& place) {
    if (!j.is_string()) throw EWorkSchedulesForm(place, "expected a text");
    const std::string& t = j.get_ref<const std::string&>();
    if (t.size() > kMaxStoredScheduleText) throw EWorkSchedulesForm(place, "longer than " + std::to_string(kMaxStoredScheduleText) + " bytes");
    return t;
}

int64_t Whole(const json& j, int64_t lo, int64_t hi, const std::string& place) {
    if (!j.is_number_integer()) throw EWorkSchedulesForm(place, "not a whole number");
    if (j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) throw EWorkSchedulesForm(place, "out of range");
    if (j.get<int64_t>() < lo || j.get<int64_t>() > hi) throw EWorkSchedulesForm(place, "out of range");
    return j.get<int64_t>();
}

uint64_t Offset(const json& j, uint64_t hi, const std::string& place) {
    if (!j.is_number_unsigned() || j.get<uint64_t>() > hi) throw EWorkSchedulesForm(place, "out of range");
    return j.get<uint64_t>();
}

// "YYYY-MM-DDThh:mm:ss", or empty.
std::string Moment(const json& j, const std::string& place) {
    std::string t = Text(j, place);
    if (!t.empty() && t.size() != 19) throw EWorkSchedulesForm(place, "not a moment");
    return t;
}

std::vector<std::string> TextList(const json& j, const std::string& place) {
    std::vector<std::string> out;
    for (size_t i = 0; i < List(j, place).size(); ++i) out.push_back(Text(j[i], place + "/" + std::to_string(i)));
    return out;
}

ModelScheduleTask ReadTask(const json& j, const ModelWorkSchedules& w, const std::string& place) {
    ModelScheduleTask t;
    auto text = [&](const char* key) { return Text(Member(j, key, place), place + "/" + key); };
    auto moment = [&](const char* key) { return Moment(Member(j, key, place), place + "/" + key); };
    t.globalId = text("globalid");
    t.name = text("name");
    t.identification = text("identification");
    t.predefinedType = text("type");
    t.objectType = text("objecttype");
    const json& milestone = Member(j, "milestone", place);
    if (!milestone.is_boolean()) throw EWorkSchedulesForm(place + "/milestone", "expected true or false");
    t.milestone = milestone.get<bool>();
    t.schedule = static_cast<int32_t>(Whole(Member(j, "schedule", place), -1, static_cast<int64_t>(w.schedules.size()) - 1, place + "/schedule"));
    // Each task after the one nesting it.
    t.parent = static_cast<int32_t>(Whole(Member(j, "parent", place), -1, static_cast<int64_t>(w.tasks.size()) - 1, place + "/parent"));
    t.level = static_cast<uint16_t>(Whole(Member(j, "level", place), 1, kMaxLevel, place + "/level"));
    t.scheduleStart = moment("start");
    t.scheduleFinish = moment("finish");
    t.actualStart = moment("actualstart");
    t.actualFinish = moment("actualfinish");
    t.percent = static_cast<int32_t>(Whole(Member(j, "percent", place), -1, 100, place + "/percent"));
    t.outputs = TextList(Member(j, "outputs", place), place + "/outputs");
    t.inputs = TextList(Member(j, "inputs", place), place + "/inputs");
    return t;
}

} // namespace

json WriteWorkSchedules(const ModelWorkSchedules& w) {
    json schedules = json::array(), tasks = json::array(), sequences = json::array(), products = json::array(),
         spans = json::array();
    for (const ModelWorkSchedule& s : w.schedules) schedules.push_back(json::array({Cut(s.globalId), Cut(s.name), s.record}));
    for (const ModelScheduleTask& t : w.tasks)
        tasks.push_back({{"globalid", Cut(t.globalId)},
                         {"name", Cut(t.name)},
                         {"identification", Cut(t.identification)},
                         {"type", Cut(t.predefinedType)},
                         {"objecttype", Cut(t.objectType)},
                         {"milestone", t.milestone},
                         {"schedule", t.schedule},
                         {"parent", t.parent},
                         {"level", t.level},
                         {"start", t.scheduleStart},
                         {"finish", t.scheduleFinish},
                         {"actualstart", t.actualStart},
                         {"actualfinish", t.actualFinish},
                         {"percent", t.percent},
                         {"outputs", Texts(t.outputs)},
                         {"inputs", Texts(t.inputs)}});
    for (const ModelScheduleSequence& s : w.sequences)
        sequences.push_back(json::array({s.predecessor, s.successor, Cut(s.type), std::llround(s.lagSeconds)}));
    for (const auto& [id, record] : w.productRecords) products.push_back(json::array({Cut(id), record}));
    for (const auto& [begin, end] : w.taskRecords) spans.push_back(json::array({begin, end}));
    return {{"file", Cut(w.sourcePath)},    {"schema", w.schema},        {"size", w.fileSize},
            {"recordsend", w.recordsEnd},   {"highest", w.highestRecord}, {"project", w.projectRecord},
            {"schedules", schedules},       {"tasks", tasks},            {"sequences", sequences},
            {"products", products},         {"taskrecords", spans}};
}

ModelWorkSchedules ReadWorkSchedules(const json& j, const std::string& place) {
    ModelWorkSchedules w;
    auto at = [&](const char* key) -> const json& { return Member(j, key, place); };
    auto where = [&](const std::string& key) { return place + "/" + key; };
    w.sourcePath = Text(at("file"), where("file"));
    if (w.sourcePath.empty()) throw EWorkSchedulesForm(where("file"), "empty");
    w.schema = Text(at("schema"), where("schema"));
    if (w.schema != "IFC4" && w.schema != "IFC2X3") throw EWorkSchedulesForm(where("schema"), "expected \"IFC4\" or \"IFC2X3\"");
    w.fileSize = Offset(at("size"), UINT64_MAX, where("size"));
    w.recordsEnd = Offset(at("recordsend"), w.fileSize, where("recordsend"));
    w.highestRecord = static_cast<int32_t>(Whole(at("highest"), 0, INT32_MAX, where("highest")));
    w.projectRecord = static_cast<int32_t>(Whole(at("project"), 0, w.highestRecord, where("project")));
    const json& schedules = List(at("schedules"), where("schedules"));
    for (size_t i = 0; i < schedules.size(); ++i) {
        std::string sp = where("schedules/" + std::to_string(i));
        const json& s = Tuple(schedules[i], 3, sp);
        w.schedules.push_back({Text(s[0], sp + "/0"), Text(s[1], sp + "/1"),
                               static_cast<int32_t>(Whole(s[2], 0, w.highestRecord, sp + "/2"))});
    }
    const json& tasks = List(at("tasks"), where("tasks"));
    for (size_t i = 0; i < tasks.size(); ++i) {
        ModelScheduleTask t = ReadTask(tasks[i], w, where("tasks/" + std::to_string(i)));
        w.tasks.push_back(std::move(t));
    }
    const auto taskCount = static_cast<int64_t>(w.tasks.size());
    const json& sequences = List(at("sequences"), where("sequences"));
    for (size_t i = 0; i < sequences.size(); ++i) {
        std::string sp = where("sequences/" + std::to_string(i));
        const json& s = Tuple(sequences[i], 4, sp);
        ModelScheduleSequence q;
        q.predecessor = static_cast<int32_t>(Whole(s[0], 0, taskCount - 1, sp + "/0"));
        q.successor = static_cast<int32_t>(Whole(s[1], 0, taskCount - 1, sp + "/1"));
        q.type = Text(s[2], sp + "/2");
        q.lagSeconds = static_cast<double>(Whole(s[3], -static_cast<int64_t>(kMaxLagSeconds), static_cast<int64_t>(kMaxLagSeconds), sp + "/3"));
        w.sequences.push_back(std::move(q));
    }
    const json& products = List(at("products"), where("products"));
    w.productRecords.reserve(products.size());
    for (size_t i = 0; i < products.size(); ++i) {
        std::string pp = where("products/" + std::to_string(i));
        const json& p = Tuple(products[i], 2, pp);
        w.productRecords.emplace_back(Text(p[0], pp + "/0"), static_cast<int32_t>(Whole(p[1], 0, w.highestRecord, pp + "/1")));
    }
    // In file order, within the records, none inside another.
    const json& spans = List(at("taskrecords"), where("taskrecords"));
    uint64_t last = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
        std::string sp = where("taskrecords/" + std::to_string(i));
        const json& s = Tuple(spans[i], 2, sp);
        const uint64_t begin = Offset(s[0], w.fileSize, sp + "/0"), end = Offset(s[1], w.fileSize, sp + "/1");
        if (begin < last || end <= begin) throw EWorkSchedulesForm(sp, "not after the one before, or empty");
        w.taskRecords.emplace_back(begin, end);
        last = end;
    }
    return w;
}
