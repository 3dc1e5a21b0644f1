// What each element made from an IFC product knows it is: the facts the reader takes from IFC2x3
// and IFC4 files (occurrence and type, assemblies, layer, constituent and profile sets,
// classifications, single values), the names, materials and storey layers made from them, and
// the facts through a save, a reopen, a revision, its undo, and the add-on's operation.
#include "HostFixture.h"
#include "host/HostTestFiles.h"
#include "IfcTestFiles.h"

#include "basekit/OwnedHandle.h"
#include "host/ifc/building/IfcElementFacts.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/reader/IfcReader.h"
#include "host/project/HostProjectFile.h"

#include <map>

namespace {

using Facts = std::vector<std::pair<std::string, std::string>>;

using ifctest::IfcFile;

const IfcProductData& Named(const IfcBuildingData& data, const std::string& name) {
    for (const auto& p : data.products)
        if (p.name == name) return p;
    throw std::runtime_error("no product " + name);
}

TEST(IfcFactsReader, Ifc2x3OccurrenceTypeAssemblyAndMaterials) {
    IfcBuildingData data = ReadIfcFile(IfcFile("facts-ifc2x3.ifc"));
    // By elevation, whatever the file's order; the one without an elevation last.
    EXPECT_EQ(data.storeys, (std::vector<std::string>{"Pince", "Földszint", "Emelet", "Padlás"}));
    const IfcProductData& wall = Named(data, "Külső fal");
    // The type's value of IsExternal gives way to the occurrence's; its thermal transmittance
    // stands; the acoustic rating without a value is none.
    EXPECT_EQ(IfcFactsOf(wall), (Facts{{"class", "IfcWallStandardCase"},
                                       {"type", "Basic Wall:Exterior 300"},
                                       {"name", "Külső fal"},
                                       {"tag", "W-1"},
                                       {"description", "Homlokzati fal"},
                                       {"globalid", wall.globalId},
                                       {"storey", "Földszint"},
                                       {"material", "Beton C30/37"},
                                       {"material", "Hőszigetelés"},
                                       {"classification", "Uniclass 2015: EF_25_10 Walls"},
                                       {"Egyedi.Cost", "1234567.891"},
                                       {"Egyedi.Count", "42"},
                                       {"Egyedi.Note", "két sor"},
                                       {"Egyedi.Ratio", "0.1"},
                                       {"Pset_WallCommon.FireRating", "REI 60"},
                                       {"Pset_WallCommon.IsExternal", "TRUE"},
                                       {"Pset_WallCommon.LoadBearing", "FALSE"},
                                       {"Pset_WallCommon.Reference", "EXT-300"},
                                       {"Pset_WallCommon.ThermalTransmittance", "0.24"},
                                       {"Qto_WallBaseQuantities.Length", "5000"},
                                       {"Qto_WallBaseQuantities.NetVolume", "4.2"}}));
    EXPECT_EQ(wall.globalId.size(), 22u);
    // Parts of an assembly on the upper floor, coloured by their material's style.
    size_t beams = 0;
    for (const auto& p : data.products) {
        if (p.ifcClass != "IfcBeam") continue;
        ++beams;
        EXPECT_EQ(p.storey, "Emelet");
        EXPECT_EQ(p.materials, (std::vector<std::string>{"STEEL/S235"}));
        ASSERT_TRUE(p.hasColour);
        EXPECT_EQ(p.rgb, (std::array<double, 3>{0.2, 0.4, 0.6}));
    }
    EXPECT_EQ(beams, 3u);
    const IfcProductData& glass = Named(data, "Ablak");
    EXPECT_EQ(glass.materials, (std::vector<std::string>{"Üveg"}));
    EXPECT_NEAR(glass.transparency, 0.7, 1e-12);
    EXPECT_EQ(IfcFactsOf(Named(data, "Födém"))[1], (std::pair<std::string, std::string>{"type", "FLOOR"}));
}

TEST(IfcFactsReader, Ifc4TypeMaterialsProfilesAndQuantities) {
    IfcBuildingData data = ReadIfcFile(IfcFile("facts-ifc4.ifc"));
    EXPECT_EQ(data.storeys, (std::vector<std::string>{"Ground floor", "Level 1"}));
    const IfcProductData& wall = Named(data, "Wall A");
    // Its materials and fire rating are its type's; its quantities carry formulas.
    EXPECT_EQ(IfcFactsOf(wall), (Facts{{"class", "IfcWall"},
                                       {"type", "SOLIDWALL"},
                                       {"name", "Wall A"},
                                       {"tag", "WA"},
                                       {"description", "IFC4 wall"},
                                       {"globalid", wall.globalId},
                                       {"storey", "Ground floor"},
                                       {"material", "Concrete"},
                                       {"material", "Rebar"},
                                       {"classification", "OmniClass: 23.13.11.11 Walls"},
                                       {"Pset_WallCommon.FireRating", "EI 30"},
                                       {"Pset_WallCommon.IsExternal", "TRUE"},
                                       {"Qto_WallBaseQuantities.Length", "5"},
                                       {"Qto_WallBaseQuantities.NetSideArea", "12.5"}}));
    const IfcProductData& beam = Named(data, "Beam");
    EXPECT_EQ(IfcFactsOf(beam)[1], (std::pair<std::string, std::string>{"type", "HEA 200"})); // USERDEFINED
    EXPECT_EQ(beam.materials, (std::vector<std::string>{"S355"}));
    EXPECT_EQ(beam.storey, "Level 1");
    EXPECT_NEAR(Named(data, "Glass pane").transparency, 0.6, 1e-12);
}

// An open reads the properties packed: every product's facts are those of the listed form, in
// their order, and no property is left listed.
TEST(IfcFactsReader, PackedPropertiesGiveTheSameFacts) {
    for (const char* file : {"facts-ifc2x3.ifc", "facts-ifc4.ifc", "duplex.ifc"}) {
        const IfcBuildingData listed = ReadIfcFile(IfcFile(file));
        const IfcBuildingData packed = ReadIfcFile(IfcFile(file), nullptr, IfcPropertiesForm::Packed);
        ASSERT_EQ(packed.products.size(), listed.products.size()) << file;
        size_t properties = 0;
        for (size_t i = 0; i < listed.products.size(); ++i) {
            EXPECT_TRUE(packed.products[i].properties.empty());
            properties += packed.products[i].packedProperties.Size();
            EXPECT_EQ(IfcFactsOf(packed.products[i]), IfcFactsOf(listed.products[i])) << file << " " << listed.products[i].globalId;
        }
        EXPECT_GT(properties, listed.products.size()) << file;
    }
}

// A model's fact texts are numbered in the order its elements first show them, as reading the
// elements' facts one after another numbers them, and each element shows its product's facts.
TEST(IfcFactsReader, FactTextsAreNumberedInTheOrderTheElementsShowThem) {
    const IfcBuildingData data = ReadIfcFile(IfcFile("duplex.ifc"));
    const IfcBuiltModel built = BuildIfcModel(data, IfcModelOptions{});
    const HostModel& model = *built.model;
    ASSERT_GT(model.Elements().size(), 200u);
    std::map<API_Guid, const IfcProductData*> products;
    for (const IfcProductData& p : data.products) products.emplace(p.guid, &p);
    uint32_t next = 0;
    for (const auto& e : model.Elements()) {
        for (const ElementFact& fact : e->facts)
            for (uint32_t text : {fact.key, fact.value}) {
                ASSERT_LE(text, next);
                if (text == next) ++next;
            }
        Facts shown;
        for (const auto& [k, v] : model.FactsOf(*e)) shown.emplace_back(k, v);
        ASSERT_EQ(shown, IfcFactsOf(*products.at(e->Guid())));
    }
    EXPECT_EQ(next, model.Facts().Count());
}

class IfcFacts : public HostFixture {
protected:
    std::vector<std::string> Names(int32_t kind) {
        std::vector<std::string> out;
        for (int16_t i = 1; i <= host->Model().AttributeCount(kind); ++i) out.push_back(BKToUtf8(host->Model().AttributeName(kind, i)));
        return out;
    }
    Element& Get(const char* utf8Id) {
        Element* e = host->Model().FindByIdText(Cp(utf8Id));
        if (!e) throw std::runtime_error(std::string("no element ") + utf8Id);
        return *e;
    }
    std::string LayerOf(const char* utf8Id) { return BKToUtf8(host->Model().AttributeName(HostAttribute::Layer, Get(utf8Id).Layer())); }
    Facts AllFacts(const char* utf8Id) {
        Facts out;
        for (const auto& [k, v] : host->Model().FactsOf(Get(utf8Id))) out.emplace_back(k, v);
        return out;
    }
    std::string Fact(const char* utf8Id, std::string_view key) {
        std::string all;
        for (const auto& [k, v] : host->Model().FactsOf(Get(utf8Id)))
            if (k == key) all += (all.empty() ? "" : "|") + std::string(v);
        return all;
    }
    // The facts as the add-on's operation hands them over: key, value, key, value.
    std::vector<std::string> AddonFacts(const Element& e, int32_t flags, GSErr& err) {
        std::array<uint8_t, HostHead::kSize> head{};
        LE::Put<int32_t>(head, HostHead::kKind, e.Kind());
        e.Guid().ToBytes(head.data() + HostHead::kGuid);
        uint32_t handle = 0;
        int32_t count = 0;
        err = HostElementGetFacts(head.data(), &handle, &count, flags);
        OwnedHandle bytes(handle);
        std::vector<std::string> texts;
        const char* at = reinterpret_cast<const char*>(bytes.Data());
        for (size_t used = 0; used < bytes.Size(); at += texts.back().size() + 1) {
            texts.emplace_back(at);
            used += texts.back().size() + 1;
        }
        EXPECT_EQ(texts.size(), 2 * static_cast<size_t>(count));
        return texts;
    }
    TempFolder folder;
    std::string error;
};

TEST_F(IfcFacts, NamesTellRepeatsApartByTagAndMaterialsAreNamedAfterTheirsWithTheirColour) {
    ASSERT_TRUE(host->OpenProject(IfcFile("facts-ifc2x3.ifc"), error)) << error;
    std::vector<std::string> ids;
    for (const auto& e : host->Model().Elements()) ids.push_back(BKToUtf8(e->IdText()));
    // The railing's name and tag are only a zero GUID: it is named after its kind.
    EXPECT_EQ(ids, (std::vector<std::string>{"Külső fal", "Belső fal", "Ablak", "LIGGER B/1", "LIGGER B/2",
                                             "LIGGER B/2 (2)", "Födém", BKToUtf8(host->KindName(HostElement::Object))}));
    EXPECT_EQ(Names(HostAttribute::Material),
              (std::vector<std::string>{"Beton C30/37", "Beton C30/37 CC6633", "Üveg", "STEEL/S235", "IFC B3B3AD", "IFC BFBFBF"}));
    HostModel& m = host->Model();
    EXPECT_EQ(LE::Get<int16_t>(*m.Attribute(HostAttribute::Material, 3), HostAttribute::kMatTransparency), 70);
    EXPECT_EQ(LE::Get<int16_t>(*m.Attribute(HostAttribute::Material, 1), HostAttribute::kMatTransparency), 0);
    EXPECT_EQ(LE::Get<int16_t>(Get("Belső fal").Bytes(), 118), 2);
    // Without presentation layers the storeys name them, in the order elements come; no empty one.
    EXPECT_EQ(Names(HostAttribute::Layer), (std::vector<std::string>{"Földszint", "Emelet", "Pince"}));
    EXPECT_FALSE(m.layersByStorey);
}

TEST_F(IfcFacts, LayersByStoreySurviveASaveAndANewStoreyOfARevisionComesLast) {
    ASSERT_TRUE(host->OpenProject(IfcFile("facts-ifc2x3.ifc"), error, true)) << error;
    EXPECT_EQ(Names(HostAttribute::Layer), (std::vector<std::string>{"Pince", "Földszint", "Emelet", "Padlás"}));
    EXPECT_EQ(LayerOf("LIGGER B/1"), "Emelet"); // through its assembly
    EXPECT_EQ(LayerOf("Ablak"), "Földszint");
    ASSERT_TRUE(host->SaveProject(folder.Path("facts.qvp"), error)) << error;
    ASSERT_TRUE(host->OpenProject(folder.Path("facts.qvp"), error)) << error;
    EXPECT_TRUE(host->Model().layersByStorey);
    ASSERT_TRUE(host->UpdateFromIfc(IfcFile("facts-ifc2x3_rev2.ifc"), error)) << error;
    EXPECT_EQ(Names(HostAttribute::Layer), (std::vector<std::string>{"Pince", "Földszint", "Emelet", "Padlás", "Tető"}));
    EXPECT_EQ(LayerOf("Padlásfal"), "Padlás");
    EXPECT_EQ(LayerOf("Kémény"), "Tető");
    EXPECT_EQ(error, "");
    // Presentation layers are the default: the storey option is only for IFC models.
    ASSERT_TRUE(host->OpenProject(IfcFile("two-storeys-mm.ifc"), error, true)) << error;
    EXPECT_EQ(Names(HostAttribute::Layer), (std::vector<std::string>{"Földszint", "Emelet"}));
    ASSERT_TRUE(host->OpenProject(IfcFile("two-storeys-mm.ifc"), error)) << error;
    EXPECT_EQ(Names(HostAttribute::Layer), (std::vector<std::string>{"Falak", "Földszint", "Födémek"}));
}

TEST_F(IfcFacts, FactsSurviveSaveAndReopenAndARevisionRefreshesThemAsOneUndoStep) {
    ASSERT_TRUE(host->OpenProject(IfcFile("facts-ifc2x3.ifc"), error)) << error;
    const Facts before = AllFacts("Külső fal");
    ASSERT_EQ(before.size(), 21u);
    std::string saved = SerializeHostProject(host->Model());
    ASSERT_TRUE(host->SaveProject(folder.Path("facts.qvp"), error)) << error;
    ASSERT_TRUE(host->OpenProject(folder.Path("facts.qvp"), error)) << error;
    EXPECT_TRUE(SerializeHostProject(host->Model()) == saved);
    EXPECT_EQ(AllFacts("Külső fal"), before);

    host->Model().SetUserData(Get("Külső fal"), "Bauvista", UserDataBlock{103, 0x5757, {1}});
    ASSERT_TRUE(host->UpdateFromIfc(IfcFile("facts-ifc2x3_rev2.ifc"), error)) << error;
    EXPECT_EQ(Fact("Külső fal", "Pset_WallCommon.FireRating"), "REI 90");
    EXPECT_EQ(Fact("Külső fal", "classification"), "");
    EXPECT_EQ(Fact("Külső fal", "material"), "Beton C30/37|Hőszigetelés");
    EXPECT_EQ(Fact("Kémény", "storey"), "Tető");
    EXPECT_EQ(Get("Külső fal").userData.count("Bauvista"), 1u);
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    EXPECT_EQ(Fact("Külső fal", "Pset_WallCommon.FireRating"), "REI 60");
    EXPECT_EQ(Fact("Külső fal", "classification"), "Uniclass 2015: EF_25_10 Walls");
    ASSERT_TRUE(host->Model().ApplyRedo(name));
    EXPECT_EQ(Fact("Külső fal", "Pset_WallCommon.FireRating"), "REI 90");
    // The refreshed facts are what the project saves.
    auto again = ParseHostProject(SerializeHostProject(host->Model()), "again.qvp");
    ASSERT_TRUE(again.model) << again.error;
    const Element* wall = again.model->FindByIdText(Cp("Külső fal"));
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(again.model->FactsOf(*wall).size(), 20u);
}

TEST_F(IfcFacts, TheAddonReadsThemInItsCodePageOrInUtf8) {
    ASSERT_TRUE(host->OpenProject(IfcFile("facts-ifc4.ifc"), error)) << error;
    GSErr err = 0;
    std::vector<std::string> texts = AddonFacts(Get("Wall A"), 0, err);
    ASSERT_EQ(err, kHostNoError);
    ASSERT_EQ(texts.size(), 28u);
    EXPECT_EQ(texts[0], "class");
    EXPECT_EQ(texts[1], "IfcWall");
    EXPECT_EQ(texts[20], "Pset_WallCommon.FireRating");
    EXPECT_EQ(texts[21], "EI 30");
    ASSERT_TRUE(host->OpenProject(IfcFile("facts-ifc2x3.ifc"), error)) << error;
    texts = AddonFacts(Get("Külső fal"), 0, err);
    EXPECT_EQ(texts[5], Cp("Külső fal"));
    texts = AddonFacts(Get("Külső fal"), kHostFactsUtf8, err);
    EXPECT_EQ(texts[5], "Külső fal");
    // An element without facts has none; an element that is not there, and flags the host
    // does not know, are refused.
    Element& plain = AddElement(HostElement::Wall, "FAL-01");
    EXPECT_TRUE(AddonFacts(plain, 0, err).empty());
    EXPECT_EQ(err, kHostNoError);
    EXPECT_EQ(AddonFacts(plain, 2, err).size(), 0u);
    EXPECT_EQ(err, kHostErrBadParameter);
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, HostHead::kKind, HostElement::Wall);
    head[HostHead::kGuid] = 0x42;
    uint32_t handle = 0;
    int32_t count = 0;
    EXPECT_EQ(HostElementGetFacts(head.data(), &handle, &count, 0), kHostErrNoElement);
    EXPECT_EQ(HostElementGetFacts(head.data(), nullptr, &count, 0), kHostErrBadParameter);
}

} // namespace
