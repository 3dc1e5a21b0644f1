#pragma once
// A small model and schedule for display tests: the add-on's module objects on an in-process host.
#include "HostFixture.h"
#include "TestTasks.h"
#include "display/ElementHider.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

class DisplayFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        walls = AddLayer("Falak");
        userHidden = AddLayer("Rejtett", true);
        locked = AddLayer("Zárt", false, true);
        brick = host->Model().CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, Cp("Tégla")));
        hider.LoadResources();
        db.InitTaskDB();
    }

    Element& Wall(const char* id, int16_t layer = 0) {
        Element& e = AddElement(1, id, layer ? layer : walls);
        auto b = e.Bytes();
        LE::Put<int16_t>(b, 104, 3);
        LE::Put<int16_t>(b, 112, 4);
        for (size_t off : {118, 120, 122}) LE::Put<int16_t>(b, off, brick);
        b[131] = b[132] = b[133] = 1;
        return e;
    }
    size_t AddTask(int32_t id, ConstructionType type, DateTime start, DateTime finish, const char* name = "t") {
        db.AppendLoadedTask(TestTask(id, type, start, finish, name));
        return db.TaskCount() - 1;
    }
    void Link(Element& e, std::initializer_list<int32_t> ids) {
        ElementLinkRecord rec;
        size_t k = 0;
        for (int32_t id : ids) rec.SetSlot(k++, id);
        e.userData["Bauvista"] = UserDataBlock{103, 0x5757, std::vector<uint8_t>(rec.bytes.begin(), rec.bytes.end())};
    }
    ElementLinkRecord LinkOf(const Element& e) {
        ElementLinkRecord rec;
        auto it = e.userData.find("Bauvista");
        if (it != e.userData.end()) std::copy(it->second.bytes.begin(), it->second.bytes.end(), rec.bytes.begin());
        return rec;
    }
    // One display pass at the end of `day`, as the palette runs it (or at that very moment).
    void ShowAt(DateTime day, bool toEndOfDay = true) {
        db.SetCurrentDate(day, toEndOfDay);
        hider.Prepare(db);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 0);
        hider.EndPass();
        hider.Finish();
    }
    int16_t Pen(const Element& e, size_t off = 104) { return LE::Get<int16_t>(e.Bytes(), off); }

    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    int16_t walls = 0, userHidden = 0, locked = 0, brick = 0;
};
