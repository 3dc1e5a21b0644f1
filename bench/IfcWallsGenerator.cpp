#include "IfcWallsGenerator.h"
#include "host/ifc/building/IfcGuid.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

// GlobalIds no exporter writes: "BV", the kind, then the serial.
std::string GlobalIdOf(uint32_t serial, uint8_t kind) {
    std::array<uint8_t, 16> b{};
    b[0] = 0x42;
    b[1] = 0x56;
    b[2] = kind;
    for (int i = 0; i < 4; ++i) b[12 + i] = static_cast<uint8_t>(serial >> (24 - 8 * i));
    return EncodeIfcGlobalId(API_Guid::FromBytes(b.data()));
}

class StepWriter {
public:
    int Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char line[512];
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        text_ += "#" + std::to_string(++last_) + "=";
        text_.append(line, static_cast<size_t>(n < 0 ? 0 : std::min<int>(n, sizeof line - 1)));
        text_ += ";\n";
        return last_;
    }
    void AddLine(const std::string& body) { text_ += "#" + std::to_string(++last_) + "=" + body + ";\n"; }
    std::string& Text() { return text_; }

private:
    std::string text_;
    int last_ = 0;
};

std::string List(const std::vector<int>& ids) {
    std::string s = "(";
    for (size_t i = 0; i < ids.size(); ++i) s += (i ? ",#" : "#") + std::to_string(ids[i]);
    return s + ")";
}

} // namespace

std::string GenerateIfcWalls(const IfcWallsLayout& layout) {
    const int storeys = std::max(1, layout.storeys);
    StepWriter w;
    w.Text() = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
               "FILE_NAME('walls.ifc','2026-12-08T12:00:00',(''),(''),'','IfcWallsGenerator','');\n"
               "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n";
    int length = w.Add("IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.)");
    int angle = w.Add("IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.)");
    int units = w.Add("IFCUNITASSIGNMENT((#%d,#%d))", length, angle);
    int origin = w.Add("IFCCARTESIANPOINT((0.,0.,0.))");
    int up = w.Add("IFCDIRECTION((0.,0.,1.))");
    int east = w.Add("IFCDIRECTION((1.,0.,0.))");
    int north = w.Add("IFCDIRECTION((0.,1.,0.))");
    int world = w.Add("IFCAXIS2PLACEMENT3D(#%d,$,$)", origin);
    int context = w.Add("IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#%d,$)", world);
    int project = w.Add("IFCPROJECT('%s',$,'Walls',$,$,$,$,(#%d),#%d)", GlobalIdOf(1, 1).c_str(), context, units);
    int sitePlace = w.Add("IFCLOCALPLACEMENT($,#%d)", world);
    int site = w.Add("IFCSITE('%s',$,'Site',$,$,#%d,$,$,.ELEMENT.,$,$,$,$,$)", GlobalIdOf(2, 1).c_str(), sitePlace);
    int buildingPlace = w.Add("IFCLOCALPLACEMENT(#%d,#%d)", sitePlace, world);
    int building = w.Add("IFCBUILDING('%s',$,'Building',$,$,#%d,$,$,.ELEMENT.,$,$,$)", GlobalIdOf(3, 1).c_str(), buildingPlace);
    w.Add("IFCRELAGGREGATES('%s',$,$,$,#%d,(#%d))", GlobalIdOf(4, 1).c_str(), project, site);
    w.Add("IFCRELAGGREGATES('%s',$,$,$,#%d,(#%d))", GlobalIdOf(5, 1).c_str(), site, building);
    std::vector<int> storeyIds, storeyPlaces;
    for (int s = 0; s < storeys; ++s) {
        int point = w.Add("IFCCARTESIANPOINT((0.,0.,%d.))", 3000 * s);
        int axes = w.Add("IFCAXIS2PLACEMENT3D(#%d,$,$)", point);
        storeyPlaces.push_back(w.Add("IFCLOCALPLACEMENT(#%d,#%d)", buildingPlace, axes));
        storeyIds.push_back(w.Add("IFCBUILDINGSTOREY('%s',$,'Storey %d',$,$,#%d,$,$,.ELEMENT.,%d.)",
                                  GlobalIdOf(static_cast<uint32_t>(s), 2).c_str(), s, storeyPlaces.back(), 3000 * s));
    }
    w.Add("IFCRELAGGREGATES('%s',$,$,$,#%d,%s)", GlobalIdOf(6, 1).c_str(), building, List(storeyIds).c_str());

    std::vector<std::vector<int>> contained(static_cast<size_t>(storeys));
    std::vector<int> bodies;
    const int perRow = 100;
    for (int k = 0; k < layout.walls; ++k) {
        const int s = k % storeys;
        const int slot = k / storeys;
        const double x = 6000.0 * (slot % perRow), y = 6000.0 * (slot / perRow);
        int point = w.Add("IFCCARTESIANPOINT((%.1f,%.1f,0.))", x, y);
        int axes = w.Add("IFCAXIS2PLACEMENT3D(#%d,#%d,#%d)", point, up, k % 2 ? north : east);
        int place = w.Add("IFCLOCALPLACEMENT(#%d,#%d)", storeyPlaces[static_cast<size_t>(s)], axes);
        int centre = w.Add("IFCCARTESIANPOINT((2500.,100.))");
        int profileAxes = w.Add("IFCAXIS2PLACEMENT2D(#%d,$)", centre);
        int profile = w.Add("IFCRECTANGLEPROFILEDEF(.AREA.,$,#%d,5000.,200.)", profileAxes);
        int solid = w.Add("IFCEXTRUDEDAREASOLID(#%d,#%d,#%d,2800.)", profile, world, up);
        int body = w.Add("IFCSHAPEREPRESENTATION(#%d,'Body','SweptSolid',(#%d))", context, solid);
        int shape = w.Add("IFCPRODUCTDEFINITIONSHAPE($,$,(#%d))", body);
        int wall = w.Add("IFCWALLSTANDARDCASE('%s',$,'Wall %d',$,$,#%d,#%d,$)", GlobalIdOf(static_cast<uint32_t>(k), 0).c_str(),
                         k, place, shape);
        contained[static_cast<size_t>(s)].push_back(wall);
        bodies.push_back(body);
    }
    for (int s = 0; s < storeys; ++s)
        w.AddLine("IFCRELCONTAINEDINSPATIALSTRUCTURE('" + GlobalIdOf(static_cast<uint32_t>(s), 3) + "',$,$,$," +
                  List(contained[static_cast<size_t>(s)]) + ",#" + std::to_string(storeyIds[static_cast<size_t>(s)]) + ")");
    w.AddLine("IFCPRESENTATIONLAYERASSIGNMENT('Walls',$," + List(bodies) + ",$)");
    w.Text() += "ENDSEC;\nEND-ISO-10303-21;\n";
    return std::move(w.Text());
}
