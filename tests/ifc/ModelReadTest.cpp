// A model read apart from the open project and then adopted: the read's phases, a cancelled or
// failed read changing nothing of the project, and the phases a person sees at a terminal.
#include "HostFixture.h"
#include "host/HostTestFiles.h"

#include "host/app/ModelRead.h"
#include "host/app/TerminalReadProgress.h"
#include "host/resources/HostResources.h"

#include <cstdio>
#include <optional>
#include <tuple>
#include <vector>

namespace {

// Hears the phases; cancels once the given phase has come with at least `after` products.
class Listener : public IIfcReadProgress {
public:
    std::optional<IfcReadPhase> cancelAt;
    size_t after = 0;
    std::vector<IfcReadPhase> phases;
    size_t lastDone = 0, lastTotal = 0;
    bool cancelled = false;
    void ReportPhase(IfcReadPhase phase, size_t done, size_t total) override {
        if (phases.empty() || phases.back() != phase) phases.push_back(phase);
        lastDone = done;
        lastTotal = total;
        if (cancelAt == phase && done >= after) cancelled = true;
    }
    bool IsCancelled() const override { return cancelled; }
};

int gEvents = 0;
GSErr CountEvent(uint32_t, int32_t) {
    ++gEvents;
    return 0;
}

class ModelReadTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        host->AddAddon("probe").eventHandlers.emplace_back(0xFFFFFFFFu, &CountEvent);
        gEvents = 0;
    }
    std::string House() { return SourceFile("tests/data/ifc/IfcOpenHouse.ifc"); }
    // The project as a user or an add-on can tell it.
    auto State() {
        HostModel& m = host->Model();
        return std::make_tuple(&m, m.Elements().size(), m.Undo().UndoCount(), m.Undo().Position(), m.Modified(),
                               host->ReportLines().size(), host->projectPath, gEvents);
    }
    void EditFirstElement() {
        HostModel& m = host->Model();
        ASSERT_TRUE(m.Undo().Open("edit"));
        Element& e = *m.Elements().front();
        auto record = e.record;
        record[104] ^= 1;
        m.ChangeElement(e, record);
        ASSERT_TRUE(m.CloseUndoStep().has_value());
    }
    std::string error_;
};

TEST_F(ModelReadTest, AReadHasItsPhasesAndBecomesTheProject) {
    Listener listener;
    ModelRead read = ReadProjectFile(House(), HostIfcModelOptions(), &listener);
    ASSERT_TRUE(read.Usable()) << read.error;
    EXPECT_EQ(listener.phases, (std::vector<IfcReadPhase>{IfcReadPhase::CheckingText, IfcReadPhase::Converting,
                                                          IfcReadPhase::MakingElements}));
    // The host's project is untouched until it adopts the read.
    EXPECT_EQ(gEvents, 0);
    EXPECT_EQ(host->Model().Elements().size(), 0u);
    ASSERT_TRUE(host->AdoptProject(std::move(read), error_)) << error_;
    EXPECT_EQ(host->Model().Elements().size(), 35u);
    EXPECT_FALSE(host->Model().Modified());
    EXPECT_EQ(gEvents, 2); // closing, opened
    // An update the host reads itself tells the listener it was given, making elements too.
    Listener update;
    host->readProgress = &update;
    ASSERT_TRUE(host->UpdateFromIfc(House(), error_)) << error_;
    host->readProgress = nullptr;
    EXPECT_EQ(update.phases, listener.phases);
    EXPECT_EQ(host->Model().Undo().UndoCount(), 1u);
}

TEST_F(ModelReadTest, CancelledOrFailedReadsLeaveTheProjectAsItWas) {
    ASSERT_TRUE(host->OpenProject(House(), error_)) << error_;
    EditFirstElement();
    gEvents = 0;
    auto before = State();
    for (IfcReadPhase phase : {IfcReadPhase::CheckingText, IfcReadPhase::Converting, IfcReadPhase::MakingElements}) {
        SCOPED_TRACE(static_cast<int>(phase));
        Listener listener;
        listener.cancelAt = phase;
        ModelRead opened = ReadProjectFile(House(), HostIfcModelOptions(), &listener);
        EXPECT_TRUE(opened.cancelled);
        EXPECT_FALSE(opened.model);
        EXPECT_FALSE(host->AdoptProject(std::move(opened), error_));
        EXPECT_EQ(State(), before);
    }
    // An update cancelled as its products are converted.
    Listener listener;
    listener.cancelAt = IfcReadPhase::Converting;
    ModelRead revision = ReadIfcRevision(SourceFile("tests/data/ifc/IfcOpenHouse_rev2.ifc"), &listener);
    EXPECT_TRUE(revision.cancelled);
    EXPECT_FALSE(host->AdoptIfcRevision(std::move(revision), error_));
    EXPECT_EQ(State(), before);
    // A file that is not IFC: its reason, nothing changed.
    ModelRead bad = ReadIfcRevision(SourceFile("tests/data/ifc/not-ifc.ifc"), nullptr);
    EXPECT_FALSE(bad.Usable());
    EXPECT_FALSE(host->AdoptIfcRevision(std::move(bad), error_));
    EXPECT_NE(error_.find("not-ifc.ifc"), std::string::npos) << error_;
    EXPECT_EQ(State(), before);
}

// At a terminal: a line for each phase and at most one a second while products are converted.
TEST_F(ModelReadTest, TerminalLinesFollowThePhases) {
    SetHostLanguage(HostLanguage::English);
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    {
        TerminalReadProgress terminal(out, "quorvel");
        terminal.ReportPhase(IfcReadPhase::CheckingText, 0, 0);
        for (size_t done = 0; done <= 100; ++done) terminal.ReportPhase(IfcReadPhase::Converting, done, 100);
        terminal.ReportPhase(IfcReadPhase::MakingElements, 0, 100);
    }
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
    std::fclose(out);
    SetHostLanguage(HostLanguage::Transcript);
    EXPECT_EQ(text, "quorvel: Checking the text (Elapsed: 0 s)\n"
                    "quorvel: Converting 0 of 100 products (Elapsed: 0 s)\n"
                    "quorvel: Making elements (Elapsed: 0 s)\n");
}

} // namespace
