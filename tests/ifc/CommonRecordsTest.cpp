// The common geometric records read straight into the library's entities come out as the
// library's own reading makes them; any other form is left to the library.
#include "host/ifc/helper/CommonRecords.h"

#include <ifcpp/IFC4/EntityFactory.h>
#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCartesianPoint.h>
#include <ifcpp/IFC4/include/IfcFace.h>
#include <ifcpp/IFC4/include/IfcFaceOuterBound.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcPolyLoop.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcObjectDefinition.h>
#include <ifcpp/IFC4/include/IfcOwnerHistory.h>
#include <ifcpp/IFC4/include/IfcRepresentationContext.h>
#include <ifcpp/IFC4/include/IfcRepresentationItem.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcProductDefinitionShape.h>
#include <ifcpp/IFC4/include/IfcPropertySet.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/IFC4/include/IfcShapeRepresentation.h>
#include <ifcpp/IFC4/include/IfcAxis2Placement3D.h>
#include <ifcpp/IFC4/include/IfcDirection.h>
#include <ifcpp/IFC4/include/IfcLocalPlacement.h>
#include <ifcpp/IFC4/include/IfcReal.h>
#include <ifcpp/IFC4/include/IfcPropertySingleValue.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcValue.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// #1..#3 points, #4 a loop of them, #5 an outer bound of it, #6 a face of that.
class CommonRecords : public testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_NUMERIC, "C");
        const char* kinds[] = {"IFCCARTESIANPOINT", "IFCCARTESIANPOINT", "IFCCARTESIANPOINT", "IFCPOLYLOOP", "IFCFACEOUTERBOUND", "IFCFACE"};
        for (int id = 1; id <= 6; ++id) {
            entities[id] = shared_ptr<BuildingEntity>(EntityFactory::createEntityObject(kinds[id - 1]));
            entities[id]->m_entity_id = id;
        }
    }

    // The library's reading of `attributes` into a new entity of `kind`.
    shared_ptr<BuildingEntity> LibraryReads(const char* kind, const std::string& attributes) {
        shared_ptr<BuildingEntity> entity(EntityFactory::createEntityObject(kind));
        ReaderSTEP reader;
        reader.readEntityArguments(BuildingModel::SchemaVersion(L"IFC4", BuildingModel::IFC4), {{attributes, entity}}, entities);
        return entity;
    }

    shared_ptr<BuildingEntity> WeRead(const char* kind, const std::string& attributes, bool& read) {
        shared_ptr<BuildingEntity> entity(EntityFactory::createEntityObject(kind));
        read = ReadCommonRecord(*entity, attributes, entities);
        return entity;
    }

    std::map<int, shared_ptr<BuildingEntity>> entities;
};

std::vector<double> Coordinates(const BuildingEntity& e) {
    std::vector<double> out;
    for (const auto& c : dynamic_cast<const IfcCartesianPoint&>(e).m_Coordinates) out.push_back(c ? c->m_value : -999);
    return out;
}

} // namespace

TEST_F(CommonRecords, PointsAsTheLibraryReadsThem) {
    for (const char* text : {"((0.,1.5,-2.))", "((+2,1.E-009,-0.))", "((123456.789012345678,9.999999999999999E22))", "((1.))",
                             "((0.1,0.2,0.30000000000000004))", "((-1.7976931348623157E308,2.2250738585072014E-308,7E-1))"}) {
        bool read = false;
        auto ours = WeRead("IFCCARTESIANPOINT", text, read);
        EXPECT_TRUE(read) << text;
        const std::vector<double> expected = Coordinates(*LibraryReads("IFCCARTESIANPOINT", text));
        const std::vector<double> got = Coordinates(*ours);
        ASSERT_EQ(got.size(), expected.size()) << text;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(std::bit_cast<uint64_t>(got[i]), std::bit_cast<uint64_t>(expected[i])) << text << " " << i;
    }
    // Left to the library: more than three, none, a value out of a double's normal range, forms
    // the library reads its own way.
    for (const char* text : {"((1.,2.,3.,4.))", "(())", "((1.E400))", "((1.E-320))", "((1.E-400))", "((.5))", "(($))", "((1.,2.),$)",
                             "((1.,2.)", "((1..2))", "((1.E))"}) {
        bool read = true;
        auto ours = WeRead("IFCCARTESIANPOINT", text, read);
        EXPECT_FALSE(read) << text;
        EXPECT_TRUE(dynamic_cast<const IfcCartesianPoint&>(*ours).m_Coordinates.empty()) << text;
    }
}

TEST_F(CommonRecords, LoopsBoundsAndFacesRefer) {
    bool read = false;
    auto loop = std::dynamic_pointer_cast<IfcPolyLoop>(WeRead("IFCPOLYLOOP", "((#1,#2,#3,#1))", read));
    ASSERT_TRUE(read);
    ASSERT_EQ(loop->m_Polygon.size(), 4u);
    EXPECT_EQ(loop->m_Polygon[0], entities[1]);
    EXPECT_EQ(loop->m_Polygon[2], entities[3]);
    EXPECT_EQ(loop->m_Polygon[3], entities[1]);

    for (const char* orientation : {".T.", ".F."}) {
        auto bound = std::dynamic_pointer_cast<IfcFaceOuterBound>(WeRead("IFCFACEOUTERBOUND", std::string("(#4,") + orientation + ")", read));
        ASSERT_TRUE(read);
        EXPECT_EQ(bound->m_Bound, entities[4]);
        ASSERT_TRUE(bound->m_Orientation);
        auto theirs = std::dynamic_pointer_cast<IfcFaceOuterBound>(LibraryReads("IFCFACEOUTERBOUND", std::string("(#4,") + orientation + ")"));
        EXPECT_EQ(bound->m_Orientation->m_value, theirs->m_Orientation->m_value);
    }
    auto face = std::dynamic_pointer_cast<IfcFace>(WeRead("IFCFACE", "((#5))", read));
    ASSERT_TRUE(read);
    ASSERT_EQ(face->m_Bounds.size(), 1u);
    EXPECT_EQ(face->m_Bounds[0], entities[5]);

    // A reference to nothing, to the wrong type, or not in the plain form: the library's to read.
    const std::pair<const char*, const char*> others[] = {
        {"IFCPOLYLOOP", "((#1,#9))"}, {"IFCPOLYLOOP", "((#1,#4))"}, {"IFCPOLYLOOP", "(())"},      {"IFCPOLYLOOP", "((#1,#2),#3)"},
        {"IFCFACE", "((#4))"},        {"IFCFACE", "((#5,))"},        {"IFCFACEOUTERBOUND", "(#1,.T.)"}, {"IFCFACEOUTERBOUND", "(#4,$)"},
        {"IFCFACEOUTERBOUND", "(#4,.U.)"}, {"IFCFACEOUTERBOUND", "(#4)"}, {"IFCWALL", "('x',$,$,$,$,$,$,$)"}};
    for (const auto& [kind, text] : others) {
        WeRead(kind, text, read);
        EXPECT_FALSE(read) << kind << text;
    }
}

namespace {

// A single value's parts as text, the typed value as the library writes it back.
std::string Described(const BuildingEntity& e) {
    const auto& p = dynamic_cast<const IfcPropertySingleValue&>(e);
    std::stringstream out;
    out.precision(17);
    out << (p.m_Name ? std::string(p.m_Name->m_value.begin(), p.m_Name->m_value.end()) : "null") << "|";
    out << (p.m_Description ? std::string(p.m_Description->m_value.begin(), p.m_Description->m_value.end()) : "null") << "|";
    if (p.m_NominalValue) {
        out << p.m_NominalValue->className() << " ";
        p.m_NominalValue->getStepParameter(out, true);
    } else {
        out << "null";
    }
    out << "|" << (p.m_Unit ? "unit" : "null");
    return out.str();
}

} // namespace

TEST_F(CommonRecords, SingleValuesAsTheLibraryReadsThem) {
    for (const char* text :
         {"('Name',$,IFCLABEL('x'),$)", "('',$,IFCLABEL(''),$)", "('N','Desc',IFCREAL(1.5),$)", "('N',$,IFCBOOLEAN(.T.),$)",
          "('N',$,IFCBOOLEAN(.F.),$)", "('N',$,IFCLENGTHMEASURE(1.E-3),$)", "('N',$,$,$)", "('N',$,IFCLABEL('a,b)c'),$)",
          "('N',$,IFCTEXT('a)b'),$)", "('N',$,IFCMASSMEASURE(12.),$)", "('N ',$,IFCLABEL(' x '),$)", "('N',$,IFCIDENTIFIER('id'),$)",
          "('N',$,IFCPOSITIVELENGTHMEASURE(0.1),$)", "('N',$,IFCAREAMEASURE(-2.5E2),$)", "('N',$,IFCVOLUMEMEASURE(7),$)",
          "('N',$,IFCPLANEANGLEMEASURE(1.5707963267948966),$)", "('N',$,IFCTIMEMEASURE(+3.),$)", "('a/*b*/c',$,IFCLABEL('$'),$)"}) {
        bool read = false;
        auto ours = WeRead("IFCPROPERTYSINGLEVALUE", text, read);
        EXPECT_TRUE(read) << text;
        EXPECT_EQ(Described(*ours), Described(*LibraryReads("IFCPROPERTYSINGLEVALUE", text))) << text;
    }
    // Left to the library: escapes, doubled apostrophes, other bytes, other types, a unit,
    // numbers it reads its own way, forms cut short.
    for (const char* text :
         {"('It''s',$,IFCLABEL('x'),$)", "('N',$,IFCLABEL('a''b'),$)", "('F\\X2\\00F6\\X0\\',$,$,$)", "('N',$,IFCLABEL('\xC3\xA9'),$)",
          "('N',$,IFCINTEGER(3),$)", "('N',$,IFCLOGICAL(.U.),$)", "('N',$,IFCLABEL('x'),#1)", "('N',$,IFCREAL(.5),$)",
          "('N',$,IFCREAL(1.E-400),$)", "('N',$,IFCBOOLEAN(.U.),$)", "('N',$,IFCLABEL('x')", "(N,$,$,$)", "('N',$,IFCLABEL(x),$)"}) {
        bool read = true;
        auto ours = WeRead("IFCPROPERTYSINGLEVALUE", text, read);
        EXPECT_FALSE(read) << text;
        EXPECT_FALSE(dynamic_cast<const IfcPropertySingleValue&>(*ours).m_Name) << text;
    }
}

TEST_F(CommonRecords, PlacementsAndDirectionsAsTheLibraryReadsThem) {
    for (const auto& [id, kind] : {std::pair{7, "IFCDIRECTION"}, {8, "IFCAXIS2PLACEMENT3D"}, {9, "IFCLOCALPLACEMENT"}}) {
        entities[id] = shared_ptr<BuildingEntity>(EntityFactory::createEntityObject(kind));
        entities[id]->m_entity_id = id;
    }
    auto ratios = [](const BuildingEntity& e) {
        std::vector<double> out;
        for (const auto& r : dynamic_cast<const IfcDirection&>(e).m_DirectionRatios) out.push_back(r ? r->m_value : -999);
        return out;
    };
    for (const char* text : {"((0.,0.,1.))", "((1.,0.))", "((0.70710678118654757,-0.70710678118654757,+0.))", "((1.E-5,2,3E2))"}) {
        bool read = false;
        auto ours = WeRead("IFCDIRECTION", text, read);
        EXPECT_TRUE(read) << text;
        EXPECT_EQ(ratios(*ours), ratios(*LibraryReads("IFCDIRECTION", text))) << text;
    }
    for (const char* text : {"(#1,#7,#7)", "(#1,$,$)", "(#2,$,#7)"}) {
        bool read = false;
        auto ours = std::dynamic_pointer_cast<IfcAxis2Placement3D>(WeRead("IFCAXIS2PLACEMENT3D", text, read));
        auto theirs = std::dynamic_pointer_cast<IfcAxis2Placement3D>(LibraryReads("IFCAXIS2PLACEMENT3D", text));
        EXPECT_TRUE(read) << text;
        EXPECT_EQ(ours->m_Location, theirs->m_Location) << text;
        EXPECT_EQ(ours->m_Axis, theirs->m_Axis) << text;
        EXPECT_EQ(ours->m_RefDirection, theirs->m_RefDirection) << text;
    }
    for (const char* text : {"(#9,#8)", "($,#8)"}) {
        bool read = false;
        auto ours = std::dynamic_pointer_cast<IfcLocalPlacement>(WeRead("IFCLOCALPLACEMENT", text, read));
        auto theirs = std::dynamic_pointer_cast<IfcLocalPlacement>(LibraryReads("IFCLOCALPLACEMENT", text));
        EXPECT_TRUE(read) << text;
        EXPECT_EQ(ours->m_PlacementRelTo, theirs->m_PlacementRelTo) << text;
        EXPECT_EQ(ours->m_RelativePlacement, theirs->m_RelativePlacement) << text;
    }
    // A reference to nothing or to the wrong type, a missing location, more ratios: the library's.
    const std::pair<const char*, const char*> others[] = {
        {"IFCDIRECTION", "((1.,2.,3.,4.))"}, {"IFCDIRECTION", "((.5,0.,0.))"}, {"IFCAXIS2PLACEMENT3D", "($,$,$)"},
        {"IFCAXIS2PLACEMENT3D", "(#7,$,$)"}, {"IFCAXIS2PLACEMENT3D", "(#1,#1,$)"}, {"IFCAXIS2PLACEMENT3D", "(#1,#99,$)"},
        {"IFCLOCALPLACEMENT", "(#9,$)"},    {"IFCLOCALPLACEMENT", "(#8,#8)"},  {"IFCLOCALPLACEMENT", "(#9,#7)"}};
    for (const auto& [kind, text] : others) {
        bool read = true;
        WeRead(kind, text, read);
        EXPECT_FALSE(read) << kind << text;
    }
}

namespace {

std::string TextOf(const shared_ptr<IfcLabel>& t) { return t ? std::string(t->m_value.begin(), t->m_value.end()) : "null"; }
std::string TextOf(const shared_ptr<IfcText>& t) { return t ? std::string(t->m_value.begin(), t->m_value.end()) : "null"; }
std::string TextOf(const shared_ptr<IfcGloballyUniqueId>& t) { return t ? std::string(t->m_value.begin(), t->m_value.end()) : "null"; }

// Everything of a property set, its relation to objects, or a representation, as text.
std::string Described(const BuildingEntity& e, const std::map<int, shared_ptr<BuildingEntity>>& entities) {
    auto number = [&entities](const auto& p) {
        if (!p) return std::string("$");
        for (const auto& [id, entity] : entities)
            if (entity.get() == dynamic_cast<const BuildingEntity*>(p.get())) return "#" + std::to_string(id);
        return std::string("?");
    };
    std::string out;
    if (const auto* root = dynamic_cast<const IfcRoot*>(&e))
        out = TextOf(root->m_GlobalId) + "|" + number(root->m_OwnerHistory) + "|" + TextOf(root->m_Name) + "|" + TextOf(root->m_Description) + "|";
    if (const auto* set = dynamic_cast<const IfcPropertySet*>(&e))
        for (const auto& p : set->m_HasProperties) out += number(p) + ",";
    if (const auto* rel = dynamic_cast<const IfcRelDefinesByProperties*>(&e)) {
        for (const auto& o : rel->m_RelatedObjects) out += number(o) + ",";
        out += "|" + number(rel->m_RelatingPropertyDefinition);
    }
    if (const auto* shape = dynamic_cast<const IfcShapeRepresentation*>(&e)) {
        out += number(shape->m_ContextOfItems) + "|" + TextOf(shape->m_RepresentationIdentifier) + "|" + TextOf(shape->m_RepresentationType) + "|";
        for (const auto& i : shape->m_Items) out += number(i) + ",";
    }
    if (const auto* shape = dynamic_cast<const IfcProductDefinitionShape*>(&e)) {
        out += TextOf(shape->m_Name) + "|" + TextOf(shape->m_Description) + "|";
        for (const auto& r : shape->m_Representations) out += number(r) + ",";
    }
    return out;
}

} // namespace

TEST_F(CommonRecords, PropertySetsTheirRelationsAndRepresentationsAsTheLibraryReadsThem) {
    const std::pair<int, const char*> more[] = {{10, "IFCOWNERHISTORY"}, {11, "IFCPROPERTYSINGLEVALUE"}, {12, "IFCWALL"},
                                                {13, "IFCPROPERTYSET"},  {14, "IFCGEOMETRICREPRESENTATIONCONTEXT"},
                                                {15, "IFCEXTRUDEDAREASOLID"}, {16, "IFCSHAPEREPRESENTATION"}, {17, "IFCBEAM"}};
    for (const auto& [id, kind] : more) {
        entities[id] = shared_ptr<BuildingEntity>(EntityFactory::createEntityObject(kind));
        entities[id]->m_entity_id = id;
    }
    const std::pair<const char*, const char*> read[] = {
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',#10,'Pset_WallCommon',$,(#11,#11))"},
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',$,'Set','Its text',(#11))"},
        {"IFCRELDEFINESBYPROPERTIES", "('0v7Zv2BF$3jfZ128dgrY_S',#10,$,$,(#12,#17),#13)"},
        {"IFCRELDEFINESBYPROPERTIES", "('0v7Zv2BF$3jfZ128dgrY_S',#10,'Name','Text',(#12),#13)"},
        {"IFCSHAPEREPRESENTATION", "(#14,'Body','SweptSolid',(#15))"},
        {"IFCSHAPEREPRESENTATION", "(#14,$,$,(#15,#15))"},
        {"IFCPRODUCTDEFINITIONSHAPE", "($,$,(#16))"},
        {"IFCPRODUCTDEFINITIONSHAPE", "('Shape','Its text',(#16,#16))"}};
    for (const auto& schema : {BuildingModel::SchemaVersion(L"IFC4", BuildingModel::IFC4), BuildingModel::SchemaVersion(L"IFC2X3", BuildingModel::IFC2X3)})
        for (const auto& [kind, text] : read) {
            bool ours = false;
            auto entity = WeRead(kind, text, ours);
            EXPECT_TRUE(ours) << text;
            shared_ptr<BuildingEntity> theirs(EntityFactory::createEntityObject(kind));
            ReaderSTEP reader;
            reader.readEntityArguments(schema, {{text, theirs}}, entities);
            const std::string described = Described(*entity, entities);
            EXPECT_EQ(described, Described(*theirs, entities)) << text;
            EXPECT_NE(described.find("#1"), std::string::npos) << described; // its references are there
        }
    // Escapes, empty lists, references to nothing or to the wrong type: the library's to read.
    const std::pair<const char*, const char*> others[] = {
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',#10,'F\\X2\\00F6\\X0\\',$,(#11))"},
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',#10,'Set',$,())"},
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',#11,'Set',$,(#11))"},
        {"IFCPROPERTYSET", "('2mVgl0Xav5CBsUzxHsSq7d',#10,'Set',$,(#12))"},
        {"IFCRELDEFINESBYPROPERTIES", "('0v7Zv2BF$3jfZ128dgrY_S',#10,$,$,(#12),#99)"},
        {"IFCRELDEFINESBYPROPERTIES", "('0v7Zv2BF$3jfZ128dgrY_S',#10,$,$,(#12),$)"},
        {"IFCSHAPEREPRESENTATION", "($,'Body','SweptSolid',(#15))"},
        {"IFCSHAPEREPRESENTATION", "(#14,'Body','SweptSolid',(#12))"},
        {"IFCPRODUCTDEFINITIONSHAPE", "($,$,(#15))"}};
    for (const auto& [kind, text] : others) {
        bool ours = true;
        WeRead(kind, text, ours);
        EXPECT_FALSE(ours) << text;
    }
}
