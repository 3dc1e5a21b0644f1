// The link record on any user data block the host may hold (any version, any size), and the
// add-on code that acts on it: reading and compacting the slots, the schedule checks of the
// element's tasks, two display passes (which hide, paint and restore the element from the saved
// layer, pens and materials in the record, and may rewrite the record) and the pass that shows
// everything again.
//
// Input: two bytes of version (little-endian), then the block. Bytes past the record's 88 steer
// the run: the two dates, the answers to the missing-task question, whether the element is
// locked, on a locked or user-hidden layer, or refused user data by the host, and its kind (each
// kind keeps its own pens and materials at its own offsets).
#include "basekit/BKTime.h"
#include "dialogkit/DGAnswers.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

int16_t AddLayer(Host& host, const char* name, bool hidden, bool locked) {
    auto r = MakeAttributeRecord(HostAttribute::Layer, name);
    LE::Put<uint32_t>(r, HostAttribute::kFlags,
                      (hidden ? HostAttribute::kLayerHidden : 0) | (locked ? HostAttribute::kLayerLocked : 0));
    return host.Model().CreateAttribute(HostAttribute::Layer, r);
}

void AddTask(TaskDB& db, int32_t id, int32_t type, DateTime start, DateTime finish) {
    Task t;
    t.id = id;
    t.type = static_cast<ConstructionType>(type);
    t.start = start;
    t.finish = finish;
    t.SetName("t");
    db.AppendLoadedTask(t);
}

DateTime Day(uint8_t steer) { return DateTime(2009, 2 + (steer / 28) % 4, 1 + steer % 28, 12); }

struct Run {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};

    Run() {
        BKSetFixedClock(*BKMakeTime(2009, 3, 2, 10, 30));
        DGResetAnswers();
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        host->SetPendingRegistration(&reg);
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        host->NewProject();
    }
    ~Run() {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
        host.reset();
        DGResetAnswers();
        BKSetFixedClock(std::nullopt);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t blockSize = size - 2;
    auto steer = [&](size_t k) -> uint8_t { return blockSize > 88 + k ? data[2 + 88 + k] : 0; };

    Run run;
    Host& host = *run.host;
    int16_t walls = AddLayer(host, "Falak", false, false);
    int16_t hidden = AddLayer(host, "Rejtett", true, false);
    int16_t locked = AddLayer(host, "Zart", false, true);
    int16_t brick = host.Model().CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, "Tegla"));
    run.hider.LoadResources();
    run.db.InitTaskDB();
    AddTask(run.db, 1, 0, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(run.db, 2, 1, DateTime(2009, 3, 4), DateTime(2009, 3, 10));
    AddTask(run.db, 3, 2, DateTime(2009, 3, 9), DateTime(2009, 3, 14));
    AddTask(run.db, 3, 0, DateTime(2009, 3, 12), DateTime(2009, 3, 20)); // two tasks share an id
    AddTask(run.db, 4, 3, DateTime(2009, 1, 1), DateTime(2010, 1, 1));
    AddTask(run.db, 5, 4, DateTime(2009, 4, 1), DateTime(2009, 4, 30));
    AddTask(run.db, 6, 5, DateTime(2009, 5, 1), DateTime(2009, 5, 2)); // a type outside 0-4
    AddTask(run.db, 7, 0, DateTime(2009, 5, 3), DateTime(2009, 5, 3)); // lasts no time

    const uint8_t flags = steer(3);
    const int32_t kind = 1 + steer(4) % HostElement::kLastKind;
    Element e;
    e.SetKind(kind);
    e.SetIdText("FAL-01");
    e.SetLayer(flags & 1 ? hidden : flags & 2 ? locked : walls);
    e.SetLocked(flags & 4);
    auto b = e.Bytes();
    LE::Put<int16_t>(b, 104, 3);
    LE::Put<int16_t>(b, 112, 4);
    for (size_t off : {118, 120, 122}) LE::Put<int16_t>(b, off, brick);
    b[131] = b[132] = b[133] = 1;
    UserDataBlock block;
    block.version = static_cast<int16_t>(data[0] | data[1] << 8);
    block.platformSign = ElementLinkRecord::kPlatformSign;
    block.bytes.assign(data + 2, data + size);
    e.userData["Bauvista"] = block;
    Element& wall = host.Model().AddElement(std::move(e));
    const API_Guid guid = wall.Guid();
    if (flags & 8) host.refuseUserData.insert(guid);

    // Reading and compacting.
    ElementLinkRecord rec;
    bool read = false;
    try {
        run.hider.ReadElementLink(kind, guid, rec);
        read = true;
        CountLinks(rec.Slots());
        ElementLink s = rec.Slots();
        CompactLinks(s);
    } catch (const EElementHider&) {
    }
    // The checks of the element's tasks.
    if (read) run.db.CheckElementTasks(rec.Slots(), kind, guid);

    // Answers to the missing-task question: 1 breaks the link, 2 keeps it.
    for (int k = 0; k < 8; ++k) DGQueueAlertAnswer(steer(2) >> k & 1 ? 1 : 2);
    for (size_t pass = 0; pass < 2; ++pass) {
        try {
            run.db.SetCurrentDate(Day(steer(pass)), true);
            run.hider.Prepare(run.db);
            run.hider.BeginPass();
            run.hider.ShowAtCurrentDate(run.db, 0);
            run.hider.EndPass();
            run.hider.Finish();
        } catch (const EElementHider&) {
        } catch (const ETaskNotFound&) {
        }
    }
    try {
        run.hider.ShowAll(run.db);
    } catch (const EElementHider&) {
    }
    return 0;
}
