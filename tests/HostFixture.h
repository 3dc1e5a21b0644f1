#pragma once
// An in-process host with the add-on attached: the host's table handed over, the add-on
// registered and its token set, an empty model with one layer and the default pens.
#include "host/app/Host.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostcalls/HostInterface.h"
#include "TestSupport.h"

#include <memory>
#include <string>

class HostFixture : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        host = std::make_unique<Host>(PreferencesPath());
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        host->SetPendingRegistration(&reg);
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        host->NewProject();
    }
    void TearDown() override {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
        host.reset();
        FixedClockTest::TearDown();
    }
    virtual std::string PreferencesPath() { return {}; }

    int16_t AddLayer(const char* utf8Name, bool hidden = false, bool locked = false) {
        auto r = MakeAttributeRecord(HostAttribute::Layer, Cp(utf8Name));
        LE::Put<uint32_t>(r, HostAttribute::kFlags,
                          (hidden ? HostAttribute::kLayerHidden : 0) | (locked ? HostAttribute::kLayerLocked : 0));
        return host->Model().CreateAttribute(HostAttribute::Layer, r);
    }
    Element& AddElement(int32_t kind, const char* utf8Id, int16_t layer = 1) {
        Element e;
        e.SetKind(kind);
        e.SetIdText(Cp(utf8Id));
        e.SetLayer(layer);
        return host->Model().AddElement(std::move(e));
    }

    std::unique_ptr<Host> host;
};
