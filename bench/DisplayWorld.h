#pragma once
// A host with the add-on registered and a model of linked elements, for the display and the
// model benchmarks. Elements of seven displayable kinds in turn, each linked to one task
// (1 + element number % tasks); every task is under way on 10 March 2009 and finished by
// 10 April, so a pass on one of those days after a pass on the other changes every element.
// Only interfaces the add-on and the host have had all along are used, so the same source
// measures older builds too.
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

struct DisplayWorld {
    std::unique_ptr<Host> host;
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    size_t elements = 0;

    // `inModel`: add the elements to the host model (false: the caller opens a project instead).
    DisplayWorld(size_t elementCount, int tasks, bool inModel = true) : elements(elementCount) {
        host = std::make_unique<Host>();
        MakeCurrent();
        host->NewProject();
        if (inModel) {
            for (size_t i = 0; i < elementCount; ++i) host->Model().AddElement(MakeElement(i, tasks));
        }
        hider.LoadResources();
        db.InitTaskDB();
        for (int t = 1; t <= tasks; ++t) {
            Task task;
            task.id = t;
            task.type = static_cast<ConstructionType>(t % 5);
            task.start = DateTime(2009, 3, 1);
            task.finish = DateTime(2009, 3, 30);
            db.AppendLoadedTask(task);
        }
    }
    ~DisplayWorld() {
        if (Host::Current() == host.get()) Host::SetCurrent(nullptr);
    }
    void MakeCurrent() {
        Host::SetCurrent(host.get());
        if (!registered_) {
            AddonRegistration& reg = host->AddAddon("Bauvista");
            token_ = reg.token;
            registered_ = true;
        }
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(token_);
    }

    // Element i: its kind, index and identifier set, so adding it costs no search in any build.
    static Element MakeElement(size_t i, int tasks) {
        static const int32_t kinds[] = {1, 2, 3, 6, 8, 9, 19};
        Element e;
        e.SetKind(kinds[i % 7]);
        e.SetIndex(static_cast<int32_t>(i / 7 + 1));
        API_Guid g;
        uint64_t a = (i + 1) * 0x9E3779B97F4A7C15ULL, b = (i + 1) ^ 0x5851F42D4C957F2DULL;
        for (int k = 0; k < 8; ++k) {
            g.bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(a >> (8 * k));
            g.bytes[static_cast<size_t>(8 + k)] = static_cast<uint8_t>(b >> (8 * k));
        }
        e.SetGuid(g);
        e.SetIdText("E-" + std::to_string(i));
        e.SetLayer(1);
        LE::Put<int16_t>(e.Bytes(), 104, 3);
        LE::Put<int16_t>(e.Bytes(), 112, 4);
        ElementLinkRecord link;
        link.SetSlot(0, 1 + static_cast<int32_t>(i % static_cast<size_t>(tasks)));
        e.userData["Bauvista"] = UserDataBlock{103, 0x5757, {link.bytes.begin(), link.bytes.end()}};
        return e;
    }

    void Pass(const DateTime& day) {
        db.SetCurrentDate(day, true);
        hider.Prepare(db);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
        hider.Finish();
    }

    // The least a pass must do for every element before its cache can say "nothing to do": list
    // the elements of every kind (1-42), read each one's link record and its 104-byte header
    // (layer, lock, owner, change stamp). No schedule, no cache, no record copy.
    int64_t ReadFloor() {
        int64_t sum = 0;
        std::array<uint8_t, HostElement::kHeaderSize> head{};
        for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
            uint32_t list = 0;
            if (HostElementList(kind, &list) != kHostNoError) continue;
            size_t n = BKHandleSize(list) / 16;
            for (size_t i = 0; i < n; ++i) {
                API_Guid g = API_Guid::FromBytes(BKHandleData(list) + 16 * i);
                ElementLinkRecord link;
                try {
                    hider.ReadElementLink(kind, g, link);
                } catch (const EElementHider&) {
                }
                head.fill(0);
                LE::Put<int32_t>(head, 0, kind);
                g.ToBytes(head.data() + HostElement::kGuid);
                HostElementGetHeader(head.data());
                sum += link.Slot(0) + head[HostElement::kLayer];
            }
            BKDisposeHandle(list);
        }
        return sum;
    }

    // The least a pass that changes every element must do: the read floor, then per element the
    // whole record read, the link record written back changed, and the element changed in one
    // field through a mask. `toggle` flips a byte nothing reads (record offset 2700, link byte
    // 87), so two calls leave the model as it was.
    int64_t ChangeFloor() {
        int64_t sum = 0;
        std::vector<uint8_t> record(HostElement::kRecordSize), mask(HostElement::kRecordSize, 0);
        mask[2700] = 1;
        for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
            uint32_t list = 0;
            if (HostElementList(kind, &list) != kHostNoError) continue;
            size_t n = BKHandleSize(list) / 16;
            for (size_t i = 0; i < n; ++i) {
                API_Guid g = API_Guid::FromBytes(BKHandleData(list) + 16 * i);
                ElementLinkRecord link;
                try {
                    hider.ReadElementLink(kind, g, link);
                } catch (const EElementHider&) {
                    continue;
                }
                std::array<uint8_t, HostElement::kHeaderSize> head{};
                LE::Put<int32_t>(head, 0, kind);
                g.ToBytes(head.data() + HostElement::kGuid);
                HostElementGetHeader(head.data());
                std::fill(record.begin(), record.end(), 0);
                LE::Put<int32_t>(record, 0, kind);
                g.ToBytes(record.data() + HostElement::kGuid);
                HostElementGet(record.data());
                link.bytes[87] ^= 1;
                hider.WriteElementLink(kind, g, link, true);
                record[2700] ^= 1;
                HostElementChange(record.data(), mask.data());
                sum += record[HostElement::kLayer];
            }
            BKDisposeHandle(list);
        }
        return sum;
    }

private:
    bool registered_ = false;
    uint32_t token_ = 0;
};
