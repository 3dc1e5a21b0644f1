// One project, two real models (the architect's duplex and a Tekla structure): each on its own
// layers with its elements' facts naming it, revised on its own while the other stays as it was,
// kept by the project file, and removed again.
#include "HostFixture.h"
#include "host/HostTestFiles.h"
#include "host/IfcGlobalIdRewrite.h"

#include "dialogkit/DGAnswers.h"
#include "host/project/HostProjectFile.h"

#include <fstream>
#include <map>
#include <set>

namespace {

class IfcFederatedModels : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        std::string error;
        ASSERT_TRUE(host->OpenProject(SourceFile("tests/data/ifc/duplex.ifc"), error)) << error;
        architecture = host->Model().Elements().size();
        ASSERT_TRUE(host->AddIfcModel(SourceFile("tests/data/ifc/MULTICOM-Prefab.ifc"), "STRUCT", false, error)) << error;
    }
    std::map<std::string, size_t> ElementsByModel() {
        std::map<std::string, size_t> count;
        for (const auto& e : host->Model().Elements()) ++count[std::string(host->Model().ModelOf(*e))];
        return count;
    }
    // Every element of the architect's model with what a revision of the other must not touch.
    std::map<API_Guid, std::pair<const Element*, uint64_t>> ArchitectureNow() {
        std::map<API_Guid, std::pair<const Element*, uint64_t>> out;
        for (const auto& e : host->Model().Elements())
            if (host->Model().ModelOf(*e) == "duplex") out[e->Guid()] = {e.get(), e->shapeRevision};
        return out;
    }
    size_t architecture = 0;
    TempFolder folder;
};

} // namespace

TEST_F(IfcFederatedModels, EachModelHasItsLayersAndFacts) {
    const HostModel& m = host->Model();
    ASSERT_EQ(m.ifcModels.size(), 2u);
    EXPECT_EQ(m.ifcModels[0].name, "duplex");
    EXPECT_EQ(m.ifcModels[1].name, "STRUCT");
    auto byModel = ElementsByModel();
    EXPECT_EQ(byModel["duplex"], architecture);
    EXPECT_GT(byModel["STRUCT"], 20u);
    EXPECT_EQ(byModel.count(""), 0u); // every element names its model
    for (const auto& e : m.Elements()) {
        const std::string layer = m.AttributeName(HostAttribute::Layer, e->Layer());
        EXPECT_EQ(layer.rfind("STRUCT: ", 0) == 0, m.ModelOf(*e) == "STRUCT") << layer;
    }
    // No ID text is taken twice across the models.
    std::set<std::string> ids;
    for (const auto& e : m.Elements()) EXPECT_TRUE(ids.insert(e->IdText()).second) << e->IdText();
    // A second model of the same name is refused and changes nothing.
    std::string error;
    EXPECT_FALSE(host->AddIfcModel(SourceFile("tests/data/ifc/facts-ifc2x3.ifc"), "STRUCT", false, error));
    EXPECT_EQ(m.ifcModels.size(), 2u);
}

TEST_F(IfcFederatedModels, ARevisionOfOneLeavesTheOtherAlone) {
    const auto before = ArchitectureNow();
    const size_t structure = ElementsByModel()["STRUCT"];
    const std::string path = folder.Path("MULTICOM-Prefab.ifc");
    std::ofstream(path, std::ios::binary) << ifctest::ReissueGlobalIds(ReadWholeFile(SourceFile("tests/data/ifc/MULTICOM-Prefab.ifc")), 3);
    std::string error;
    // Without model= the file's name says which model it revises.
    ASSERT_TRUE(host->UpdateFromIfc(path, error)) << error;
    EXPECT_EQ(ArchitectureNow(), before);
    EXPECT_EQ(ElementsByModel()["STRUCT"], structure);
    EXPECT_EQ(host->Model().ifcModels[1].revisions, 1u);
    EXPECT_EQ(host->Model().ifcModels[0].revisions, 0u);
    EXPECT_FALSE(host->Model().lastRevision.rematched.empty());
    EXPECT_TRUE(host->Model().lastRevision.lost.empty());

    // A name the project does not have is refused.
    EXPECT_FALSE(host->UpdateFromIfc(path, error, "MEP"));
    EXPECT_NE(error.find("MEP"), std::string::npos);
}

TEST_F(IfcFederatedModels, TheProjectFileKeepsTheModelsAndOneModelKeepsItsForm) {
    const std::string saved = folder.Path("two.qvp");
    std::string error;
    ASSERT_TRUE(host->SaveProject(saved, error)) << error;
    const std::string text = ReadWholeFile(saved);
    EXPECT_NE(text.find("\"models\""), std::string::npos);
    auto loaded = LoadHostProject(saved);
    ASSERT_TRUE(loaded.model) << loaded.error;
    EXPECT_EQ(loaded.model->ifcModels, host->Model().ifcModels);
    size_t structure = 0;
    for (const auto& e : loaded.model->Elements()) structure += loaded.model->ModelOf(*e) == "STRUCT";
    EXPECT_EQ(structure, ElementsByModel()["STRUCT"]);

    // Removing the structure leaves the project of one model as if it never held two. It takes
    // more than a fifth of the elements, so it asks first.
    DGQueueAlertAnswer(1);
    ASSERT_TRUE(host->RemoveIfcModel("STRUCT", error)) << error;
    EXPECT_EQ(ElementsByModel(), (std::map<std::string, size_t>{{"", architecture}}));
    const std::string one = folder.Path("one.qvp");
    ASSERT_TRUE(host->SaveProject(one, error)) << error;
    EXPECT_EQ(ReadWholeFile(one).find("\"models\""), std::string::npos);
    // An unknown or broken list is refused with its place.
    std::ofstream(folder.Path("bad.qvp"), std::ios::binary) << R"({"models": [{"name": "A"}, {"name": "A"}]})";
    auto bad = LoadHostProject(folder.Path("bad.qvp"));
    EXPECT_FALSE(bad.model);
    EXPECT_NE(bad.error.find("/models/1/name"), std::string::npos) << bad.error;
}

TEST_F(IfcFederatedModels, UndoTakesTheListOfModelsBackWithTheirElements) {
    HostModel& m = host->Model();
    const auto both = ElementsByModel();
    std::string name, error;
    ASSERT_TRUE(m.ApplyUndo(name));
    EXPECT_EQ(m.ifcModels.size(), 1u);
    EXPECT_EQ(ElementsByModel(), (std::map<std::string, size_t>{{"", architecture}}));
    ASSERT_TRUE(m.ApplyRedo(name));
    ASSERT_EQ(m.ifcModels.size(), 2u);
    EXPECT_EQ(m.ifcModels[1].name, "STRUCT");
    EXPECT_EQ(ElementsByModel(), both);

    DGQueueAlertAnswer(1);
    ASSERT_TRUE(host->RemoveIfcModel("STRUCT", error)) << error;
    ASSERT_TRUE(m.ApplyUndo(name));
    EXPECT_EQ(m.ifcModels.size(), 2u);
    EXPECT_EQ(ElementsByModel(), both);
    // Saved after the undo, the project keeps both models.
    const std::string saved = folder.Path("undone.qvp");
    ASSERT_TRUE(host->SaveProject(saved, error)) << error;
    auto loaded = LoadHostProject(saved);
    ASSERT_TRUE(loaded.model) << loaded.error;
    EXPECT_EQ(loaded.model->ifcModels, m.ifcModels);
}
