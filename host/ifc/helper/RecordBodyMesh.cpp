#include "host/ifc/helper/RecordBodyMesh.h"

#include "host/ifc/helper/ConversionHeap.h"
#include "host/ifc/helper/MeshParts.h"
#include "host/ifc/helper/OpeningCut.h"
#include "host/ifc/helper/RecordContent.h"
#include "host/ifc/helper/ReusedItems.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"
#include "steptext/StepLexemes.h"

#include <ifcpp/geometry/Carve/CSG_Adapter.h>
#include <ifcpp/geometry/Carve/GeomUtils.h>
#include <ifcpp/geometry/Carve/PointConverter.h>
#include <ifcpp/geometry/Carve/ProfileConverter.h>
#include <ifcpp/geometry/Carve/RepresentationConverter.h>
#include <ifcpp/geometry/Carve/SolidModelConverter.h>
#include <ifcpp/geometry/Carve/Sweeper.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <unordered_set>

namespace {

using Vec2 = carve::geom::vector<2>;
using Vec3 = carve::geom::vector<3>;
using Matrix = carve::math::Matrix;
using Paths = std::vector<std::vector<Vec2>>;

// Not made here: the library makes the whole product.
struct NotHere {};

// The conversion heap is had by one body at a time.
std::mutex heapLock;

struct Record {
    int id = -1;
    std::string_view type;
    std::vector<std::string_view> attributes;

    std::string_view At(size_t index) const {
        if (index >= attributes.size()) throw NotHere();
        return attributes[index];
    }
    bool Unset(size_t index) const { return At(index) == "$"; }
    int Reference(size_t index) const {
        const int id = StepReference(At(index));
        if (id < 0) throw NotHere();
        return id;
    }
    double Real(size_t index) const {
        const std::optional<double> value = StepReal(At(index));
        if (!value || !std::isfinite(*value)) throw NotHere();
        return *value;
    }
};

// The numbers of a list such as (0.,1.5,2.).
std::vector<double> Reals(std::string_view list) {
    if (list.size() < 2 || list.front() != '(' || list.back() != ')') throw NotHere();
    std::vector<double> values;
    std::string_view inner = list.substr(1, list.size() - 2);
    while (!inner.empty()) {
        const size_t comma = inner.find(',');
        const std::optional<double> value = StepReal(StepTrimmed(inner.substr(0, comma)));
        if (!value || !std::isfinite(*value)) throw NotHere();
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        inner.remove_prefix(comma + 1);
    }
    return values;
}

// The lists of a list of lists such as ((1,2,3),(4,5,6)), each as its text without brackets.
std::vector<std::string_view> InnerLists(std::string_view list) {
    if (list.size() < 2 || list.front() != '(' || list.back() != ')') throw NotHere();
    std::vector<std::string_view> inner;
    std::string_view rest = StepTrimmed(list.substr(1, list.size() - 2));
    while (!rest.empty()) {
        const size_t close = rest.find(')');
        if (rest.front() != '(' || close == std::string_view::npos) throw NotHere();
        inner.push_back(rest.substr(1, close - 1));
        rest = StepTrimmed(rest.substr(close + 1));
        if (rest.empty()) break;
        if (rest.front() != ',') throw NotHere();
        rest = StepTrimmed(rest.substr(1));
    }
    return inner;
}

// Whole numbers as a list such as (1,2,3) or its inside writes them; anything else is not read here.
std::vector<int64_t> Integers(std::string_view inside) {
    std::vector<int64_t> values;
    while (!inside.empty()) {
        const size_t comma = inside.find(',');
        const std::string_view token = StepTrimmed(inside.substr(0, comma));
        int64_t value = 0;
        const auto [past, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || past != token.data() + token.size()) throw NotHere();
        values.push_back(value);
        if (comma == std::string_view::npos) break;
        inside.remove_prefix(comma + 1);
    }
    return values;
}

// The inside of a list such as (1,2,3).
std::string_view Inside(std::string_view list) {
    if (list.size() < 2 || list.front() != '(' || list.back() != ')') throw NotHere();
    return list.substr(1, list.size() - 2);
}

// References of a list, every one of them a reference.
std::vector<int> References(std::string_view list) {
    std::vector<int> ids = StepReferences(list);
    if (ids.size() != static_cast<size_t>(std::count(list.begin(), list.end(), '#'))) throw NotHere();
    return ids;
}

// The records of the file by number.
class Records {
public:
    Records(std::string_view text, const StepScan& scan) : text_(text), scan_(scan) {}

    Record Read(int id) const {
        const int64_t position = scan_.Position(id);
        if (position < 0) throw NotHere();
        const size_t offset = scan_.Offset(static_cast<uint32_t>(position));
        const size_t end = scan_.End(static_cast<uint32_t>(position));
        if (end > text_.size() || end < offset) throw NotHere();
        Record record;
        record.id = id;
        record.type = StepTypeAt(text_, offset);
        record.attributes = StepAttributes(text_.substr(offset, end - offset));
        if (record.type.empty() || record.attributes.empty()) throw NotHere();
        return record;
    }
    Record Read(int id, std::string_view type) const {
        Record record = Read(id);
        if (record.type != type) throw NotHere();
        return record;
    }

    // The numbers or the references of a record of one list in the plain form exporters write
    // most, `#N=TYPE((a,b,c));` (some with blanks after the `=`), read without its attributes'
    // texts: points, poly loops and faces are most of a body's records. False for any other
    // form, which Read reads.
    bool PlainList(int id, std::string_view type, std::vector<double>* numbers, std::vector<int>* references) const {
        const std::string_view record = PlainBody(id);
        if (record.substr(0, type.size()) != type || record.substr(type.size(), 2) != "((") return false;
        const char* p = record.data() + type.size() + 2;
        const char* const last = record.data() + record.size();
        while (true) {
            if (numbers) {
                double value = 0;
                const auto [past, error] = std::from_chars(p, last, value);
                if (error != std::errc() || !std::isfinite(value)) return false;
                numbers->push_back(value);
                p = past;
            } else {
                if (p == last || *p != '#') return false;
                int value = -1;
                const auto [past, error] = std::from_chars(p + 1, last, value);
                if (error != std::errc() || value < 0) return false;
                references->push_back(value);
                p = past;
            }
            if (p == last) return false;
            if (*p == ',') {
                ++p;
                continue;
            }
            return std::string_view(p, static_cast<size_t>(last - p)) == "));";
        }
    }

    // A face's bound written `#N=IFCFACEOUTERBOUND(#L,.T.);` (or IFCFACEBOUND, or .F.): its loop
    // and whether it runs forwards. False for any other form, which Read reads.
    bool PlainBound(int id, int& loop, bool& forward) const {
        std::string_view record = PlainBody(id);
        if (record.starts_with("IFCFACEOUTERBOUND(#")) record.remove_prefix(19);
        else if (record.starts_with("IFCFACEBOUND(#")) record.remove_prefix(14);
        else return false;
        const auto [past, error] = std::from_chars(record.data(), record.data() + record.size(), loop);
        if (error != std::errc() || loop < 0) return false;
        const std::string_view rest(past, static_cast<size_t>(record.data() + record.size() - past));
        forward = rest == ",.T.);";
        return forward || rest == ",.F.);";
    }

private:
    // The record's text after its `=` and any blanks there; empty when it has none.
    std::string_view PlainBody(int id) const {
        const int64_t position = scan_.Position(id);
        if (position < 0) return {};
        const size_t offset = scan_.Offset(static_cast<uint32_t>(position));
        const size_t end = scan_.End(static_cast<uint32_t>(position));
        if (end > text_.size() || end < offset) return {};
        std::string_view record = text_.substr(offset, end - offset);
        const size_t at = record.find('=');
        if (at == std::string_view::npos) return {};
        record.remove_prefix(at + 1);
        while (!record.empty() && (record.front() == ' ' || record.front() == '\t' || record.front() == '\r' || record.front() == '\n'))
            record.remove_prefix(1);
        return record;
    }

    std::string_view text_;
    const StepScan& scan_;
};

class Maker {
public:
    Maker(std::string_view text, const StepScan& scan, RepresentationConverter& converter, double metres,
          std::optional<double> radians, std::vector<int>* made, ReusedItems::Turn* reuse)
        : records_(text, scan), text_(text), scan_(scan), sweeper_(*converter.getSweeper()), solids_(*converter.getSolidConverter()),
          settings_(*converter.getGeomSettings()), lengthFactor_(metres), radians_(radians), made_(made), reuse_(reuse),
          inverseTolerance_(0.01 / converter.getUnitConverter()->getCustomLengthFactor()) {}

    Record Read(int id) const { return records_.Read(id); }
    Record Read(int id, std::string_view type) const { return records_.Read(id, type); }

    // The product's placement in the world, as the library chains local placements: each
    // relative placement once, outermost first. `asProducts`: multiplied from the innermost out,
    // as the library multiplies a product's placements, to its last bit (a cut of faces that lie
    // in each other's planes goes by it).
    Matrix Placement(int id, bool asProducts = false) const {
        Matrix world;
        std::vector<Matrix> kept;
        std::vector<int> applied;
        std::vector<int> chain;
        for (int at = id; at >= 0;) {
            if (chain.size() > scan_.ids.size()) throw NotHere();
            const Record placement = Read(at, "IFCLOCALPLACEMENT");
            chain.push_back(at);
            at = placement.Unset(0) ? -1 : placement.Reference(0);
        }
        for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
            const Record placement = Read(*link, "IFCLOCALPLACEMENT");
            if (placement.Unset(1)) continue;
            const int relative = placement.Reference(1);
            // The library keeps one transform of each placement record.
            if (std::find(applied.begin(), applied.end(), relative) != applied.end()) continue;
            applied.push_back(relative);
            if (asProducts) kept.push_back(Axis2Placement(Read(relative)));
            else world = world * Axis2Placement(Read(relative));
        }
        for (auto transform = kept.rbegin(); transform != kept.rend(); ++transform) world = *transform * world;
        return world;
    }

    Matrix Axis2Placement(const Record& placement) const {
        if (placement.type == "IFCAXIS2PLACEMENT3D") return Axis2Placement3D(placement);
        if (placement.type == "IFCAXIS2PLACEMENT2D") return Axis2Placement2D(placement);
        throw NotHere();
    }

    Matrix Axis2Placement3D(const Record& placement) const {
        Vec3 translate = carve::geom::VECTOR(0.0, 0.0, 0.0);
        Vec3 localZ = carve::geom::VECTOR(0.0, 0.0, 1.0);
        Vec3 reference = carve::geom::VECTOR(1.0, 0.0, 0.0);
        if (!placement.Unset(0)) {
            const std::vector<double> c = Point(placement.Reference(0));
            if (c.size() > 2) translate = carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, c[2] * lengthFactor_);
            else if (c.size() > 1) translate = carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, 0.0);
        }
        if (!placement.Unset(1)) {
            const std::vector<double> d = Direction(placement.Reference(1));
            if (d.size() > 2) localZ = carve::geom::VECTOR(d[0], d[1], d[2]);
        }
        if (!placement.Unset(2)) {
            const std::vector<double> d = Direction(placement.Reference(2));
            if (d.size() > 2) reference = carve::geom::VECTOR(d[0], d[1], d[2]);
        }
        Vec3 localY = carve::geom::cross(localZ, reference);
        Vec3 localX = carve::geom::cross(localY, localZ);
        localX.normalize();
        localY.normalize();
        localZ.normalize();
        return Matrix(localX.x, localY.x, localZ.x, translate.x, localX.y, localY.y, localZ.y, translate.y, localX.z, localY.z,
                      localZ.z, translate.z, 0, 0, 0, 1);
    }

    Matrix Axis2Placement2D(const Record& placement) const {
        Vec3 translate = carve::geom::VECTOR(0.0, 0.0, 0.0);
        Vec3 reference = carve::geom::VECTOR(1.0, 0.0, 0.0);
        const Vec3 localZ = carve::geom::VECTOR(0.0, 0.0, 1.0);
        if (!placement.Unset(0)) {
            const std::vector<double> c = Point(placement.Reference(0));
            if (c.size() > 1) translate = carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, 0.0);
        }
        if (placement.attributes.size() > 1 && !placement.Unset(1)) {
            const std::vector<double> d = Direction(placement.Reference(1));
            if (d.size() > 1) reference = carve::geom::VECTOR(d[0], d[1], 0.0);
        }
        Vec3 localY = carve::geom::cross(localZ, reference);
        Vec3 localX = carve::geom::cross(localY, localZ);
        localX.normalize();
        localY.normalize();
        return Matrix(localX.x, localY.x, localZ.x, translate.x, localX.y, localY.y, localZ.y, translate.y, localX.z, localY.z,
                      localZ.z, translate.z, 0, 0, 0, 1);
    }

    // A mapped item's target: the axes only when all three are given, as the library takes them.
    Matrix TransformationOperator(const Record& op) const {
        const bool uniform = op.type == "IFCCARTESIANTRANSFORMATIONOPERATOR3D";
        if (!uniform && op.type != "IFCCARTESIANTRANSFORMATIONOPERATOR3DNONUNIFORM") throw NotHere();
        if (op.Unset(2)) throw NotHere();
        const std::vector<double> origin = Point(op.Reference(2));
        if (origin.size() < 3) throw NotHere();
        const Vec3 translate = carve::geom::VECTOR(origin[0] * lengthFactor_, origin[1] * lengthFactor_, origin[2] * lengthFactor_);
        const double scale = op.Unset(3) ? 1.0 : op.Real(3);
        double scaleY = scale, scaleZ = scale;
        Vec3 localX = carve::geom::VECTOR(1.0, 0.0, 0.0);
        Vec3 localY = carve::geom::VECTOR(0.0, 1.0, 0.0);
        Vec3 localZ = carve::geom::VECTOR(0.0, 0.0, 1.0);
        if (!op.Unset(0) && !op.Unset(1) && !op.Unset(4)) {
            const std::vector<double> x = Direction(op.Reference(0)), y = Direction(op.Reference(1)), z = Direction(op.Reference(4));
            if (x.size() < 3 || y.size() < 3 || z.size() < 3) throw NotHere();
            localX = carve::geom::VECTOR(x[0], x[1], x[2]);
            localY = carve::geom::VECTOR(y[0], y[1], y[2]);
            localZ = carve::geom::VECTOR(z[0], z[1], z[2]);
        }
        if (!uniform) {
            if (!op.Unset(5)) scaleY = op.Real(5);
            if (!op.Unset(6)) scaleZ = op.Real(6);
        }
        localX.normalize();
        localY.normalize();
        localZ.normalize();
        const Matrix rotateTranslate(localX.x, localY.x, localZ.x, translate.x, localX.y, localY.y, localZ.y, translate.y, localX.z,
                                     localY.z, localZ.z, translate.z, 0, 0, 0, 1);
        return rotateTranslate * Matrix::SCALE(scale, scaleY, scaleZ);
    }

    std::vector<double> Point(int id) const {
        std::vector<double> coordinates;
        PointInto(id, coordinates);
        return coordinates;
    }
    // The point's coordinates into `coordinates`, whose memory a caller reading many reuses.
    void PointInto(int id, std::vector<double>& coordinates) const {
        coordinates.clear();
        if (records_.PlainList(id, "IFCCARTESIANPOINT", &coordinates, nullptr)) return;
        coordinates = Reals(Read(id, "IFCCARTESIANPOINT").At(0));
    }
    std::vector<double> Direction(int id) const { return Reals(Read(id, "IFCDIRECTION").At(0)); }

    // A shape representation's items in their order, styles left out: `geometric` is given each
    // geometric item; `mapped` each mapped item's representation and the matrix it is mapped by,
    // none unless both its origin and its target are given, as the library takes them.
    template <class Geometric, class Mapped>
    void EachItem(int id, int depth, Geometric&& geometric, Mapped&& mapped) const {
        if (depth > 8) throw NotHere();
        const Record representation = Read(id, "IFCSHAPEREPRESENTATION");
        for (int itemId : References(representation.At(3))) {
            const Record item = Read(itemId);
            if (item.type == "IFCSTYLEDITEM") continue;
            if (item.type != "IFCMAPPEDITEM") {
                geometric(item);
                continue;
            }
            const Record source = Read(item.Reference(0), "IFCREPRESENTATIONMAP");
            std::optional<Matrix> origin, target, by;
            if (!source.Unset(0)) origin = Axis2Placement(Read(source.Reference(0)));
            if (!item.Unset(1)) target = TransformationOperator(Read(item.Reference(1)));
            if (origin && target) by = Matrix(*target * *origin);
            mapped(source.Reference(1), by);
        }
    }

    // A shape representation's items, appended to `items`.
    void Representation(int id, std::vector<MeshItem>& items, int depth = 0) const {
        EachItem(
            id, depth,
            [&](const Record& item) {
                items.push_back(Reused(item));
                if (made_) made_->push_back(Innermost(item));
            },
            [&](int mappedId, const std::optional<Matrix>& by) {
                std::vector<MeshItem> inner;
                Representation(mappedId, inner, depth + 1);
                if (by) Transform(*by, inner);
                for (MeshItem& item : inner) items.push_back(std::move(item));
            });
    }

    // The item's mesh, or that of one made before which says the same: the same records make
    // the same mesh.
    MeshItem Reused(const Record& item) const {
        if (!reuse_) return Geometry(item);
        std::vector<MeshItem> made;
        MadeOf of{{static_cast<uint32_t>(scan_.Position(item.id))}, {}};
        const std::optional<uint64_t> hash = HashMadeOf(text_, scan_, of);
        if (TakeKept(hash, of, made)) return std::move(made.front());
        const size_t curves = curvesRead_;
        made.push_back(Geometry(item));
        Offer(hash, std::move(of), made, curves);
        return std::move(made.front());
    }

    // What was made of what says what `of` (of that hash) says, into `made`; false when nothing was.
    bool TakeKept(const std::optional<uint64_t>& hash, const MadeOf& of, std::vector<MeshItem>& made) const {
        if (!hash) return false;
        const ReusedItems::Kept* kept = reuse_->Find(*hash, [&](const MadeOf& before) { return SameMadeOf(text_, scan_, before, of); });
        if (!kept) return false;
        // The curves its making read count as if they were read again.
        curvesRead_ += kept->curves;
        if (curvesRead_ > kMaxCurvesRead) throw NotHere();
        made = kept->items;
        return true;
    }

    void Offer(const std::optional<uint64_t>& hash, MadeOf of, const std::vector<MeshItem>& made, size_t curvesBefore) const {
        if (hash) reuse_->Offer(*hash, std::move(of), made, curvesRead_ - curvesBefore);
    }

    // The item the library need not read: a cut body's first operand, through which its colour
    // is found, is the solid at the bottom; the cuts stay read.
    int Innermost(const Record& item) const {
        Record at = item;
        for (int depth = 0; at.type == "IFCBOOLEANCLIPPINGRESULT" || at.type == "IFCBOOLEANRESULT"; ++depth) {
            if (depth > 8) throw NotHere();
            at = Read(at.Reference(1));
        }
        return at.id;
    }

    // Items moved as the library moves an item's mesh sets; polygons it would cut after the move
    // are its to make.
    static void Transform(const Matrix& matrix, std::vector<MeshItem>& items) {
        if (GeomUtils::isMatrixIdentity(matrix)) return;
        for (const MeshItem& item : items)
            for (const auto* parts : {&item.closed, &item.open})
                for (const MeshPart& part : *parts)
                    if (part.polygons) throw NotHere();
        TransformItems(matrix, items);
    }

    MeshItem Geometry(const Record& item) const {
        MeshItem made;
        if (item.type == "IFCEXTRUDEDAREASOLID") {
            Extrusion(item, made);
        } else if (item.type == "IFCFACETEDBREP") {
            FaceList(Faces(Read(item.Reference(0), "IFCCLOSEDSHELL")), Shell::Closed, made);
        } else if (item.type == "IFCFACEBASEDSURFACEMODEL") {
            for (int set : References(item.At(0))) FaceList(Faces(Read(set)), Shell::Either, made);
        } else if (item.type == "IFCTRIANGULATEDFACESET") {
            TriangulatedFaceSet(item, made);
        } else if (item.type == "IFCPOLYGONALFACESET") {
            PolygonalFaceSet(item, made);
        } else if (item.type == "IFCBOOLEANCLIPPINGRESULT" || item.type == "IFCBOOLEANRESULT") {
            Clipped(item, made);
        } else if (item.type == "IFCSHELLBASEDSURFACEMODEL") {
            for (int shellId : References(item.At(0))) {
                const Record shell = Read(shellId);
                if (shell.type == "IFCCLOSEDSHELL") FaceList(Faces(shell), Shell::Closed, made);
                else if (shell.type == "IFCOPENSHELL") FaceList(Faces(shell), Shell::Open, made);
                else throw NotHere();
            }
        } else {
            throw NotHere();
        }
        return made;
    }

    enum class Shell { Either, Open, Closed };

    static std::vector<int> Faces(const Record& set) {
        if (set.type != "IFCCLOSEDSHELL" && set.type != "IFCOPENSHELL" && set.type != "IFCCONNECTEDFACESET") throw NotHere();
        return References(set.At(0));
    }

    // A face list's faces as the library's face conversion takes their loops.
    void FaceCache(const std::vector<int>& faces, PolyInputCache3D& cache) const {
        std::vector<std::vector<Vec3>> loops;
        std::vector<int> bounds;
        for (int faceId : faces) {
            bounds.clear();
            if (!records_.PlainList(faceId, "IFCFACE", nullptr, &bounds)) bounds = References(Read(faceId, "IFCFACE").At(0));
            loops.clear();
            for (size_t b = 0; b < bounds.size(); ++b) {
                int loop = -1;
                bool forward = true;
                std::optional<Record> written;
                if (!records_.PlainBound(bounds[b], loop, forward)) {
                    written = Read(bounds[b]);
                    if (written->type != "IFCFACEOUTERBOUND" && written->type != "IFCFACEBOUND") throw NotHere();
                    loop = written->Reference(0);
                }
                loops.emplace_back();
                std::vector<Vec3>& points = loops.back();
                PolyLoop(loop, points);
                if (points.size() < 3) {
                    if (b == 0) break;
                    continue;
                }
                if (written) {
                    const std::string_view orientation = StepEnumeration(written->At(1));
                    if (orientation != "T" && orientation != "F") throw NotHere();
                    forward = orientation == "T";
                }
                if (!forward) std::reverse(points.begin(), points.end());
            }
            sweeper_.createTriangulated3DFace(loops, nullptr, cache);
        }
    }

    void FaceList(const std::vector<int>& faces, Shell shell, MeshItem& item) const {
        PolyInputCache3D cache;
        FaceCache(faces, cache);
        const carve::input::PolyhedronData& poly = *cache.m_poly_data;
        if (poly.getVertexCount() < 3) return;
        MeshPart part;
        bool closed = true;
        if (!GroupTriangles(poly, part, closed)) throw NotHere();
        // The library warns of an open closed shell.
        if (shell == Shell::Closed && !closed) throw NotHere();
        if (shell == Shell::Open) closed = false;
        (closed ? item.closed : item.open).push_back(std::move(part));
    }

    // A triangulated face set as the library reads it: a triangle with an index out of range is
    // left out, and one point of other than three coordinates leaves the whole set out.
    void TriangulatedFaceSet(const Record& set, MeshItem& item) const {
        carve::input::PolyhedronData poly;
        for (std::string_view coordinates : InnerLists(Read(set.Reference(0), "IFCCARTESIANPOINTLIST3D").At(0))) {
            const std::vector<double> c = Reals("(" + std::string(coordinates) + ")");
            if (c.size() != 3) throw NotHere();
            poly.addVertex(carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, c[2] * lengthFactor_));
        }
        const int64_t count = static_cast<int64_t>(poly.getVertexCount());
        std::vector<int64_t> pointIndex;
        if (set.attributes.size() > 4 && !set.Unset(4)) {
            pointIndex = Integers(Inside(set.At(4)));
        }
        const int64_t indexCount = static_cast<int64_t>(pointIndex.size());
        for (std::string_view triangle : InnerLists(set.At(3))) {
            std::vector<int64_t> corners = Integers(triangle);
            if (corners.size() != 3) continue;
            bool valid = true;
            for (int64_t& corner : corners) {
                if (indexCount > 0) {
                    if (corner < 1 || corner > indexCount) valid = false;
                    else corner = pointIndex[static_cast<size_t>(corner - 1)];
                }
                if (corner < 1 || corner > count) valid = false;
                --corner;
            }
            if (!valid) continue;
            // A triangle on fewer than three points is the library's mesher's to judge.
            if (corners[0] == corners[1] || corners[1] == corners[2] || corners[0] == corners[2]) throw NotHere();
            poly.addFace(static_cast<int>(corners[0]), static_cast<int>(corners[1]), static_cast<int>(corners[2]));
        }
        if (poly.getVertexCount() < 3) return;
        MeshPart part;
        bool closed = true;
        if (!GroupTriangles(poly, part, closed)) throw NotHere();
        (closed ? item.closed : item.open).push_back(std::move(part));
    }

    // A polygonal face set as the library reads it: a face with an index out of range is left out,
    // and so is a void; a void is joined to its face by the nearest pair of their corners. Its
    // polygons are triangulated as the product mesher does.
    void PolygonalFaceSet(const Record& set, MeshItem& item) const {
        auto poly = std::make_shared<carve::input::PolyhedronData>();
        for (std::string_view coordinates : InnerLists(Read(set.Reference(0), "IFCCARTESIANPOINTLIST3D").At(0))) {
            const std::vector<double> c = Reals("(" + std::string(coordinates) + ")");
            if (c.size() != 3) throw NotHere();
            poly->addVertex(carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, c[2] * lengthFactor_));
        }
        const auto count = static_cast<int64_t>(poly->getVertexCount());
        std::vector<int64_t> pointIndex;
        if (set.attributes.size() > 3 && !set.Unset(3)) pointIndex = Integers(Inside(set.At(3)));
        const auto indexCount = static_cast<int64_t>(pointIndex.size());
        // The corners as places in the points, or false when one is out of range.
        auto resolve = [&](const std::vector<int64_t>& written, std::vector<int>& corners) {
            corners.clear();
            for (int64_t corner : written) {
                // The library reads an index as a 32-bit number.
                if (corner < INT32_MIN || corner > INT32_MAX) throw NotHere();
                if (indexCount > 0) {
                    if (corner < 1 || corner > indexCount) return false;
                    corner = pointIndex[static_cast<size_t>(corner - 1)];
                }
                if (corner < 1 || corner > count) return false;
                corners.push_back(static_cast<int>(corner - 1));
            }
            return true;
        };
        std::vector<int> corners, hole;
        std::vector<std::vector<int>> holes;
        for (int faceId : References(set.At(2))) {
            const Record face = Read(faceId);
            const bool withVoids = face.type == "IFCINDEXEDPOLYGONALFACEWITHVOIDS";
            if (!withVoids && face.type != "IFCINDEXEDPOLYGONALFACE") throw NotHere();
            const std::vector<int64_t> outer = Integers(Inside(face.At(0)));
            if (outer.size() < 3 || !resolve(outer, corners)) continue;
            if (withVoids) {
                holes.clear();
                for (std::string_view inner : InnerLists(face.At(1)))
                    if (resolve(Integers(inner), hole)) holes.push_back(hole);
                JoinVoids(*poly, holes, corners);
            }
            poly->addFace(corners.cbegin(), corners.cend());
        }
        ItemShapeData data;
        data.addOpenOrClosedPolyhedron(poly);
        for (auto* sets : {&data.m_meshsets, &data.m_meshsets_open}) {
            for (const auto& meshSet : *sets) {
                MeshPart part;
                if (!meshSet || !PartOfMeshSet(*meshSet, part)) throw NotHere();
                (sets == &data.m_meshsets ? item.closed : item.open).push_back(std::move(part));
            }
        }
    }

    // Each void cut into its face's ring at the nearest pair of their corners, the first pair
    // found of the nearest, the ring closed back to the corner before its own.
    static void JoinVoids(const carve::input::PolyhedronData& poly, std::vector<std::vector<int>> holes, std::vector<int>& corners) {
        for (std::vector<int>& hole : holes) {
            if (hole.empty()) throw NotHere();
            double nearest = std::numeric_limits<double>::max();
            size_t at = 0, from = 0;
            for (size_t i = 0; i < corners.size(); ++i) {
                for (size_t j = 0; j < hole.size(); ++j) {
                    const double distance = (poly.points[static_cast<size_t>(hole[j])] - poly.points[static_cast<size_t>(corners[i])]).length2();
                    if (distance < nearest) {
                        nearest = distance;
                        at = i;
                        from = j;
                    }
                }
            }
            std::rotate(corners.begin(), corners.begin() + static_cast<std::ptrdiff_t>(at), corners.end());
            std::rotate(hole.begin(), hole.begin() + static_cast<std::ptrdiff_t>(from), hole.end());
            hole.push_back(hole.front());
            hole.push_back(corners.back());
            corners.insert(corners.end(), hole.begin(), hole.end());
        }
    }

    // Its points without those repeated one after the other, as the library reads a poly loop.
    void PolyLoop(int id, std::vector<Vec3>& points) const {
        std::vector<int>& corners = cornersRead_;
        corners.clear();
        if (!records_.PlainList(id, "IFCPOLYLOOP", nullptr, &corners)) corners = References(Read(id, "IFCPOLYLOOP").At(0));
        Vec3 previous = carve::geom::VECTOR(0.0, 0.0, 0.0);
        bool first = true;
        std::vector<double>& c = pointRead_;
        for (int pointId : corners) {
            PointInto(pointId, c);
            double x = 0, y = 0, z = 0;
            if (c.size() > 2) {
                x = c[0] * lengthFactor_;
                y = c[1] * lengthFactor_;
                z = c[2] * lengthFactor_;
            } else if (c.size() > 1) {
                x = c[0] * lengthFactor_;
                y = c[1] * lengthFactor_;
            }
            if (!first && std::abs(x - previous.x) < 1e-8 && std::abs(y - previous.y) < 1e-8 && std::abs(z - previous.z) < 1e-8) continue;
            first = false;
            points.push_back(carve::geom::VECTOR(x, y, z));
            previous = points.back();
        }
        // A last point on the first closes the loop again.
        while (points.size() > 2) {
            const Vec3& a = points.front();
            const Vec3& b = points.back();
            if (std::abs(a.x - b.x) >= 1e-8 || std::abs(a.y - b.y) >= 1e-8 || std::abs(a.z - b.z) >= 1e-8) break;
            points.pop_back();
        }
    }

    // An extruded solid's mesh sets as the sweeper makes them, before the solid's position.
    std::shared_ptr<ItemShapeData> Swept(const Record& solid) const {
        if (solid.Unset(2) || solid.Unset(3)) throw NotHere();
        const double depth = solid.Real(3) * lengthFactor_;
        const std::vector<double> d = Direction(solid.Reference(2));
        if (d.size() < 2) throw NotHere();
        const Vec3 extrusion = d.size() > 2 ? carve::geom::VECTOR(d[0] * depth, d[1] * depth, d[2] * depth)
                                            : carve::geom::VECTOR(d[0] * depth, d[1] * depth, 0.0);
        Paths paths = Profile(Read(solid.Reference(0)));
        ProfileConverter::simplifyPaths(paths);
        if (paths.empty()) throw NotHere();
        auto data = std::make_shared<ItemShapeData>();
        sweeper_.extrude(paths, extrusion, nullptr, data);
        if (data->m_meshsets.empty() || !data->m_meshsets_open.empty()) throw NotHere();
        for (const auto& set : data->m_meshsets)
            if (!set) throw NotHere();
        return data;
    }

    void Extrusion(const Record& solid, MeshItem& item) const {
        const std::shared_ptr<ItemShapeData> data = Swept(solid);
        for (const auto& set : data->m_meshsets) {
            MeshPart part;
            if (!PartOfMeshSet(*set, part)) throw NotHere();
            item.closed.push_back(std::move(part));
        }
        if (!solid.Unset(1)) {
            std::vector<MeshItem> placed{std::move(item)};
            Transform(Axis2Placement3D(Read(solid.Reference(1), "IFCAXIS2PLACEMENT3D")), placed);
            item = std::move(placed.front());
        }
    }

    // A body cut by half spaces or solids, made as the library makes it: on the conversion heap, one such
    // body at a time, so that its Boolean operations, which go by addresses, come out the same
    // bytes on every open; what is kept is copied off it.
    void Clipped(const Record& clipping, MeshItem& item) const {
        const std::lock_guard<std::mutex> hold(heapLock);
        const ConversionHeap::Scope heap;
        const Aside aside(*this);
        ItemShapeData data;
        ClippedSets(clipping, data, 0);
        const ConversionHeap::Pause pause;
        for (const auto& set : data.m_meshsets) {
            if (!set) continue;
            MeshPart part;
            if (!PartOfMeshSet(*set, part)) throw NotHere();
            item.closed.push_back(std::move(part));
        }
        if (item.closed.empty()) throw NotHere();
    }

    // A body with openings cut from it, on the conversion heap as a clipped one is. The
    // element's items and the openings' are made as the library's conversion makes them, mesh
    // sets and all, and cut by its own opening cut: each of `cuts` in turn, as the library cuts
    // an element's own openings and then those of the element it is a part of.
    void Cut(const std::vector<int>& bodies, const Matrix& toWorld, const OpeningCuts& cuts, std::vector<MeshItem>& parts) const {
        // The cut is made of the bodies, and of each opening's shape and placement in the
        // element's coordinates as the cut reckons it; read off the conversion heap, whose
        // addresses the cut goes by.
        if (!reuse_) return CutWhole(bodies, toWorld, cuts, parts);
        MadeOf of = CutOf(bodies, toWorld, cuts);
        const std::optional<uint64_t> hash = HashMadeOf(text_, scan_, of);
        if (TakeKept(hash, of, parts)) {
            for (int body : bodies) TellMade(body, 0);
            return;
        }
        const size_t curves = curvesRead_;
        CutWhole(bodies, toWorld, cuts, parts);
        Offer(hash, std::move(of), parts, curves);
    }

    MadeOf CutOf(const std::vector<int>& bodies, const Matrix& toWorld, const OpeningCuts& cuts) const {
        MadeOf of;
        for (int body : bodies) of.records.push_back(static_cast<uint32_t>(scan_.Position(body)));
        const Matrix inverse = InverseForCut(toWorld, inverseTolerance_);
        for (const std::vector<uint32_t>& openings : cuts) {
            // Where one cut ends and the next begins.
            of.numbers.push_back(static_cast<double>(openings.size()));
            for (uint32_t opening : openings) {
                const Record element = Read(scan_.ids[opening]);
                if (element.Unset(6)) continue;
                if (element.Unset(5)) throw NotHere();
                const Matrix relative = inverse * Placement(element.Reference(5), true);
                const int64_t shape = scan_.Position(element.Reference(6));
                if (shape < 0) throw NotHere();
                of.records.push_back(static_cast<uint32_t>(shape));
                of.numbers.insert(of.numbers.end(), std::begin(relative.v), std::end(relative.v));
            }
        }
        return of;
    }

    // The body's items told to `made_`, as making them tells them.
    void TellMade(int id, int depth) const {
        if (!made_) return;
        EachItem(
            id, depth, [&](const Record& item) { made_->push_back(Innermost(item)); },
            [&](int mappedId, const std::optional<Matrix>&) { TellMade(mappedId, depth + 1); });
    }

    void CutWhole(const std::vector<int>& bodies, const Matrix& toWorld, const OpeningCuts& cuts, std::vector<MeshItem>& parts) const {
        const std::lock_guard<std::mutex> hold(heapLock);
        const ConversionHeap::Scope heap;
        const Aside aside(*this);
        ItemSets items;
        for (int body : bodies) RepresentationSets(body, items, true, 0);
        for (const std::vector<uint32_t>& openings : cuts) {
            if (openings.empty()) continue;
            std::vector<OpeningBody> cutters;
            for (uint32_t opening : openings) {
                const Record element = Read(scan_.ids[opening]);
                if (element.Unset(6)) continue;
                // Unplaced, it leaves the library's whole cut undone.
                if (element.Unset(5)) throw NotHere();
                OpeningBody& cutter = cutters.emplace_back();
                cutter.placement = Placement(element.Reference(5), true);
                for (int representation : References(Read(element.Reference(6), "IFCPRODUCTDEFINITIONSHAPE").At(2)))
                    RepresentationSets(representation, cutter.representations.emplace_back(), false, 0);
            }
            try {
                CutOpenings(items, toWorld, cutters, solids_, inverseTolerance_);
            } catch (...) {
                throw NotHere();
            }
        }
        const ConversionHeap::Pause pause;
        for (const auto& item : items) {
            MeshItem& made = parts.emplace_back();
            for (auto* sets : {&item->m_meshsets, &item->m_meshsets_open}) {
                for (const auto& set : *sets) {
                    MeshPart part;
                    if (!set || !PartOfMeshSet(*set, part)) throw NotHere();
                    (sets == &item->m_meshsets ? made.closed : made.open).push_back(std::move(part));
                }
            }
        }
    }

    // A shape representation's items as the library's conversion makes them, appended to
    // `items`; `body`: those of the product's own body, told to `made_`.
    void RepresentationSets(int id, ItemSets& items, bool body, int depth) const {
        EachItem(
            id, depth,
            [&](const Record& item) {
                items.push_back(GeometrySets(item));
                if (!body || !made_) return;
                const int innermost = Innermost(item);
                const ConversionHeap::Pause pause;
                made_->push_back(innermost);
            },
            [&](int mappedId, const std::optional<Matrix>& by) {
                ItemSets inner;
                RepresentationSets(mappedId, inner, body, depth + 1);
                if (by)
                    for (const auto& data : inner) data->applyTransformToItem(*by);
                items.insert(items.end(), inner.begin(), inner.end());
            });
    }

    std::shared_ptr<ItemShapeData> GeometrySets(const Record& item) const {
        auto data = std::make_shared<ItemShapeData>();
        if (item.type == "IFCBOOLEANCLIPPINGRESULT" || item.type == "IFCBOOLEANRESULT") ClippedSets(item, *data, 0);
        // Each face set's faces, closed or open as they come out: the cut takes the closed.
        else if (item.type == "IFCFACEBASEDSURFACEMODEL")
            for (int set : References(item.At(0))) {
                PolyInputCache3D cache;
                FaceCache(Faces(Read(set)), cache);
                data->addOpenOrClosedPolyhedron(cache.m_poly_data);
            }
        // A box is nothing to the library's conversion.
        else if (item.type != "IFCBOUNDINGBOX") SolidSets(item, *data);
        return data;
    }

    // The mesh sets of a difference of a solid and a half space or another solid, each of the
    // first operand's cut by each of the second's as the library cuts them.
    void ClippedSets(const Record& clipping, ItemShapeData& data, int depth) const {
        if (depth > 8 || StepEnumeration(clipping.At(0)) != "DIFFERENCE") throw NotHere();
        auto first = std::make_shared<ItemShapeData>();
        Operand(Read(clipping.Reference(1)), *first, depth);
        if (first->m_meshsets.empty()) throw NotHere();
        ItemShapeData second;
        const Record cutter = Read(clipping.Reference(2));
        if (cutter.type == "IFCHALFSPACESOLID" || cutter.type == "IFCPOLYGONALBOUNDEDHALFSPACE") HalfSpace(cutter, *first, second);
        else Operand(cutter, second, depth);
        for (auto& cut : first->m_meshsets) {
            for (auto& by : second.m_meshsets) {
                std::shared_ptr<carve::mesh::MeshSet<3>> result;
                try {
                    CSG_Adapter::computeCSG(cut, by, carve::csg::CSG::A_MINUS_B, result, &solids_, nullptr);
                } catch (...) {
                    throw NotHere();
                }
                cut = result;
            }
        }
        std::copy(first->m_meshsets.begin(), first->m_meshsets.end(), std::back_inserter(data.m_meshsets));
    }

    // An operand of a Boolean operation that is a solid or another such operation, its mesh sets
    // added to `data` as the library's conversion adds them.
    void Operand(const Record& operand, ItemShapeData& data, int depth) const {
        if (operand.type == "IFCBOOLEANCLIPPINGRESULT" || operand.type == "IFCBOOLEANRESULT") ClippedSets(operand, data, depth + 1);
        else SolidSets(operand, data);
    }

    // An extruded solid or a faceted brep as the library's conversion makes it.
    void SolidSets(const Record& solid, ItemShapeData& data) const {
        if (solid.type == "IFCEXTRUDEDAREASOLID") {
            data.addItemData(Swept(solid));
            if (!solid.Unset(1)) data.applyTransformToItem(Axis2Placement3D(Read(solid.Reference(1), "IFCAXIS2PLACEMENT3D")));
        } else if (solid.type == "IFCFACETEDBREP") {
            PolyInputCache3D cache;
            FaceCache(Faces(Read(solid.Reference(0), "IFCCLOSEDSHELL")), cache);
            // The library says so of a shell that is not closed.
            try {
                data.addClosedPolyhedron(cache.m_poly_data);
            } catch (const BuildingException&) {
                throw NotHere();
            }
        } else {
            throw NotHere();
        }
    }

    // A half space as the library bounds it: a plane's by a box of its own size, a polygonal
    // one by its boundary extruded twice the other operand's largest extent, its ends laid in
    // the plane.
    void HalfSpace(const Record& half, const ItemShapeData& other, ItemShapeData& data) const {
        const bool bounded = half.type == "IFCPOLYGONALBOUNDEDHALFSPACE";
        if (!bounded && half.type != "IFCHALFSPACESOLID") throw NotHere();
        const Record surface = Read(half.Reference(0), "IFCPLANE");
        const std::string_view agreement = StepEnumeration(half.At(1));
        if (agreement != "T" && agreement != "F") throw NotHere();
        // The library's plane without a placement is not a plane.
        if (surface.Unset(0)) throw NotHere();
        const Matrix surfaceMatrix = Axis2Placement3D(Read(surface.Reference(0), "IFCAXIS2PLACEMENT3D"));
        // Through the placement's point along its axis, as the library takes it.
        const Vec3 normal = carve::geom::VECTOR(surfaceMatrix._31, surfaceMatrix._32, surfaceMatrix._33);
        const carve::geom::plane<3> through(normal, carve::geom::VECTOR(surfaceMatrix._41, surfaceMatrix._42, surfaceMatrix._43));
        carve::geom::plane<3> plane;
        plane.d = through.d;
        plane.N = normal;
        if (agreement == "F") plane.negate();
        if (!bounded) {
            const double span = HALF_SPACE_BOX_SIZE;
            std::vector<Vec3> corners{surfaceMatrix * carve::geom::VECTOR(span, span, 0.0), surfaceMatrix * carve::geom::VECTOR(-span, span, 0.0),
                                      surfaceMatrix * carve::geom::VECTOR(-span, -span, 0.0), surfaceMatrix * carve::geom::VECTOR(span, -span, 0.0)};
            if (agreement == "F") std::reverse(corners.begin(), corners.end());
            const Vec3 extrusion = -GeomUtils::computePolygonNormal(corners) * HALF_SPACE_BOX_SIZE;
            auto box = std::make_shared<carve::input::PolyhedronData>();
            solids_.extrudeBox(corners, extrusion, box);
            data.addOpenOrClosedPolyhedron(box);
            return;
        }
        carve::geom::aabb<3> bounds;
        for (size_t i = 0; i < other.m_meshsets.size(); ++i) {
            if (!other.m_meshsets[i]) throw NotHere();
            if (i == 0) bounds = other.m_meshsets[i]->getAABB();
            else bounds.unionAABB(other.m_meshsets[i]->getAABB());
        }
        const double depth = 2.0 * std::max(bounds.extent.x, std::max(bounds.extent.y, bounds.extent.z));
        Matrix boundaryMatrix;
        Vec3 boundaryNormal = carve::geom::VECTOR(0.0, 0.0, 1.0);
        if (!half.Unset(2)) {
            boundaryMatrix = Axis2Placement3D(Read(half.Reference(2), "IFCAXIS2PLACEMENT3D"));
            boundaryNormal = carve::geom::VECTOR(boundaryMatrix._31, boundaryMatrix._32, boundaryMatrix._33);
        }
        std::vector<Vec3> curve;
        Curve(half.Reference(3), curve, {}, 0);
        std::vector<Vec2> boundary;
        for (const Vec3& p : curve) boundary.push_back(carve::geom::VECTOR(p.x, p.y));
        ProfileConverter::deleteLastPointIfEqualToFirst(boundary);
        ProfileConverter::simplifyPath(boundary);
        Vec3 direction = boundaryNormal;
        const double agreementCheck = carve::geom::dot(plane.N, boundaryNormal);
        if (agreementCheck > 0) direction = -direction;
        auto prism = std::make_shared<ItemShapeData>();
        sweeper_.extrude({boundary}, carve::geom::VECTOR(0.0, 0.0, depth), nullptr, prism);
        if (prism->m_meshsets.size() != 1 || !prism->m_meshsets[0]) throw NotHere();
        prism->applyTransformToItem(boundaryMatrix);
        const std::shared_ptr<carve::mesh::MeshSet<3>> set = prism->m_meshsets[0];
        const size_t count = set->vertex_storage.size();
        if (count % 2) throw NotHere();
        for (size_t i = 0; i < count; ++i) {
            Vec3& point = set->vertex_storage[i].v;
            Vec3 onPlane;
            double t = 0;
            if (carve::geom3d::rayPlaneIntersection(plane, point, point + boundaryNormal, onPlane, t) <= 0) throw NotHere();
            const bool moved = agreementCheck > 0 ? i < count / 2 : i >= count / 2;
            point = moved ? onPlane + direction * depth : onPlane;
        }
        for (auto* mesh : set->meshes) mesh->recalc();
        data.m_meshsets.push_back(set);
    }

    Paths Profile(const Record& profile) const {
        Paths paths;
        if (profile.type == "IFCRECTANGLEPROFILEDEF" || profile.type == "IFCCIRCLEPROFILEDEF") {
            std::vector<Vec2> loop;
            if (profile.type == "IFCRECTANGLEPROFILEDEF") {
                const double x = profile.Real(3) * lengthFactor_, y = profile.Real(4) * lengthFactor_;
                loop = {carve::geom::VECTOR(-x * 0.5, -y * 0.5), carve::geom::VECTOR(x * 0.5, -y * 0.5),
                        carve::geom::VECTOR(x * 0.5, y * 0.5), carve::geom::VECTOR(-x * 0.5, y * 0.5)};
            } else {
                const double radius = profile.Real(3) * lengthFactor_;
                if (radius < 0.000001) throw NotHere();
                const int segments = settings_.getNumVerticesPerCircleWithRadius(radius);
                double angle = 0;
                for (int i = 0; i < segments; ++i) {
                    loop.push_back(carve::geom::VECTOR(radius * std::cos(angle), radius * std::sin(angle)));
                    angle += 2.0 * M_PI / double(segments);
                }
            }
            if (!profile.Unset(2)) {
                const Matrix position = Axis2Placement2D(Read(profile.Reference(2), "IFCAXIS2PLACEMENT2D"));
                for (Vec2& p : loop) {
                    const Vec3 placed = position * carve::geom::VECTOR(p.x, p.y, 0.0);
                    p = carve::geom::VECTOR(placed.x, placed.y);
                }
            }
            paths.push_back(std::move(loop));
        } else if (profile.type == "IFCARBITRARYCLOSEDPROFILEDEF" || profile.type == "IFCARBITRARYPROFILEDEFWITHVOIDS") {
            ClosedCurve(profile.Reference(2), paths);
            if (profile.type == "IFCARBITRARYPROFILEDEFWITHVOIDS")
                for (int inner : References(profile.At(3))) ClosedCurve(inner, paths);
        } else {
            throw NotHere();
        }
        GeomUtils::removeDuplicates(paths);
        return paths;
    }

    // A closed curve as a profile's loop: its last point dropped while it is the first, and points
    // that repeat the one before left out.
    void ClosedCurve(int id, Paths& paths) const {
        std::vector<Vec3> points;
        Curve(id, points, {}, 0);
        std::vector<Vec2> polygon;
        polygon.reserve(points.size());
        for (const Vec3& p : points) polygon.push_back(carve::geom::VECTOR(p.x, p.y));
        ProfileConverter::deleteLastPointIfEqualToFirst(polygon);
        if (polygon.empty()) return;
        std::vector<Vec2> kept{polygon[0]};
        for (size_t i = 1; i < polygon.size(); ++i)
            if (std::abs(polygon[i].x - polygon[i - 1].x) > 0.00001 || std::abs(polygon[i].y - polygon[i - 1].y) > 0.00001)
                kept.push_back(polygon[i]);
        paths.push_back(std::move(kept));
    }

    // The trimming a trimmed curve gives its basis curve: its two lists of trimming selects.
    struct Trimming {
        std::string_view first, second;
        bool sense = true;
    };

    // A curve's points as the library converts a curve: a composite curve's segments joined
    // end to end, each turned where it meets the points before it backwards (the segments' own
    // senses are not read), a polyline's points as they are, a circle as an arc of the library's
    // segments between its trims, an ellipse whole.
    void Curve(int id, std::vector<Vec3>& target, const Trimming& trimming, int depth) const {
        // Segments that name the same curve again and again would take ever.
        if (depth > 8 || ++curvesRead_ > kMaxCurvesRead) throw NotHere();
        const Record curve = Read(id);
        if (curve.type == "IFCCOMPOSITECURVE") {
            for (int segmentId : References(curve.At(0))) {
                std::vector<Vec3> points;
                Curve(Read(segmentId, "IFCCOMPOSITECURVESEGMENT").Reference(2), points, {}, depth + 1);
                if (!points.empty()) GeomUtils::appendPointsToCurve(points, target);
            }
        } else if (curve.type == "IFCPOLYLINE") {
            for (int pointId : References(curve.At(0))) {
                const std::vector<double> c = Point(pointId);
                if (c.size() > 2) target.push_back(carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, c[2] * lengthFactor_));
                else if (c.size() > 1) target.push_back(carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, 0.0));
            }
        } else if (curve.type == "IFCTRIMMEDCURVE") {
            const std::string_view sense = curve.Unset(3) ? "T" : StepEnumeration(curve.At(3));
            if (sense != "T" && sense != "F") throw NotHere();
            std::vector<Vec3> points;
            Curve(curve.Reference(0), points, {curve.At(1), curve.At(2), sense == "T"}, depth + 1);
            // The library joins an empty basis by its first point, which it has not.
            if (points.empty()) throw NotHere();
            GeomUtils::appendPointsToCurve(points, target);
        } else if (curve.type == "IFCCIRCLE") {
            Circle(curve, trimming, target);
        } else if (curve.type == "IFCELLIPSE") {
            Ellipse(curve, target);
        } else {
            throw NotHere();
        }
    }

    // The position of a conic, in two dimensions or three.
    Matrix ConicPosition(const Record& conic) const {
        if (conic.Unset(0)) throw NotHere();
        const Record position = Read(conic.Reference(0));
        if (position.type == "IFCAXIS2PLACEMENT2D") return Axis2Placement2D(position);
        if (position.type == "IFCAXIS2PLACEMENT3D") return Axis2Placement3D(position);
        throw NotHere();
    }

    // A trim's angle on a circle: a parameter in the file's plane angle unit before a point,
    // whichever comes first in the list; nothing when it has neither.
    std::optional<double> TrimAngle(std::string_view list, const Vec3& centre, double radius) const {
        if (list.size() < 2 || list.front() != '(' || list.back() != ')') throw NotHere();
        std::optional<int> point;
        std::string_view rest = StepTrimmed(list.substr(1, list.size() - 2));
        while (!rest.empty()) {
            const size_t close = rest.find(')');
            const size_t comma = rest.find(',');
            std::string_view item;
            if (rest.substr(0, 18) == "IFCPARAMETERVALUE(") {
                if (close == std::string_view::npos) throw NotHere();
                item = rest.substr(0, close + 1);
                rest = StepTrimmed(rest.substr(close + 1));
                const std::optional<double> value = StepReal(StepTrimmed(item.substr(18, item.size() - 19)));
                // Past a million the library's turning of the angle into one turn would take ever.
                if (!value || !std::isfinite(*value) || std::abs(*value) > 1e6) throw NotHere();
                // Without a unit the library guesses degrees from the size, and says so.
                if (!radians_) throw NotHere();
                return *value * *radians_;
            }
            item = StepTrimmed(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma);
            const int id = StepReference(item);
            if (id < 0) throw NotHere();
            if (!point) point = id;
            if (!rest.empty()) {
                if (rest.front() != ',') throw NotHere();
                rest = StepTrimmed(rest.substr(1));
            }
        }
        if (!point) return std::nullopt;
        const std::vector<double> c = Reals(Read(*point, "IFCCARTESIANPOINT").At(0));
        Vec3 at;
        if (c.size() > 2) at = carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, c[2] * lengthFactor_);
        else if (c.size() > 1) at = carve::geom::VECTOR(c[0] * lengthFactor_, c[1] * lengthFactor_, 0.0);
        else throw NotHere();
        return PointConverter::getAngleOnCircle(centre, radius, at);
    }

    void Circle(const Record& circle, const Trimming& trimming, std::vector<Vec3>& target) const {
        const Matrix position = ConicPosition(circle);
        const double radius = circle.Unset(1) ? 0.0 : circle.Real(1) * lengthFactor_;
        const Vec3 centre = position * carve::geom::VECTOR(0.0, 0.0, 0.0);
        double trim1 = 0.0, trim2 = M_PI * 2.0;
        if (!trimming.first.empty())
            if (std::optional<double> angle = TrimAngle(trimming.first, centre, radius)) trim1 = *angle;
        if (!trimming.second.empty())
            if (std::optional<double> angle = TrimAngle(trimming.second, centre, radius)) trim2 = *angle;
        // The count of segments is cast from these.
        if (!std::isfinite(trim1) || !std::isfinite(trim2)) throw NotHere();
        double opening = 0;
        if (trimming.sense) opening = trim1 < trim2 ? trim2 - trim1 : trim2 - trim1 + 2.0 * M_PI;
        else opening = trim1 > trim2 ? trim2 - trim1 : trim2 - trim1 - 2.0 * M_PI;
        while (opening > 2.0 * M_PI) opening -= 2.0 * M_PI;
        while (opening < -2.0 * M_PI) opening += 2.0 * M_PI;
        // As the library counts them: a whole circle's share, cut to a whole number.
        int segments = static_cast<int>(settings_.getNumVerticesPerCircleWithRadius(radius) * (std::abs(opening) / (2.0 * M_PI)));
        if (segments < settings_.getMinNumVerticesPerArc()) segments = settings_.getMinNumVerticesPerArc();
        std::vector<Vec2> arc;
        if (radius > 0.0) GeomUtils::addArcWithEndPoint(arc, radius, trim1, opening, 0.0, 0.0, segments);
        else arc.push_back(carve::geom::VECTOR(0.0, 0.0));
        std::vector<Vec3> points;
        points.reserve(arc.size());
        for (const Vec2& p : arc) points.push_back(position * carve::geom::VECTOR(p.x, p.y, 0.0));
        GeomUtils::appendPointsToCurve(points, target);
    }

    void Ellipse(const Record& ellipse, std::vector<Vec3>& target) const {
        const Matrix position = ConicPosition(ellipse);
        if (ellipse.Unset(1) || ellipse.Unset(2)) return;
        const double xRadius = ellipse.Real(1) * lengthFactor_, yRadius = ellipse.Real(2) * lengthFactor_;
        const int segments = settings_.getNumVerticesPerCircleWithRadius(std::max(xRadius, yRadius));
        if (segments < 1) throw NotHere();
        std::vector<Vec3> points;
        double angle = 0;
        for (int i = 0; i < segments; ++i) {
            points.push_back(position * carve::geom::VECTOR(xRadius * std::cos(angle), yRadius * std::sin(angle), 0.0));
            angle += 2.0 * M_PI / double(segments);
        }
        GeomUtils::appendPointsToCurve(points, target);
    }

private:
    Records records_;
    std::string_view text_;
    const StepScan& scan_;
    Sweeper& sweeper_;
    SolidModelConverter& solids_;
    GeometrySettings& settings_;
    double lengthFactor_;
    std::optional<double> radians_;
    std::vector<int>* made_;
    ReusedItems::Turn* reuse_;
    double inverseTolerance_;
    static constexpr size_t kMaxCurvesRead = 100000;
    mutable size_t curvesRead_ = 0;
    // Read into again for every loop and corner.
    mutable std::vector<int> cornersRead_;
    mutable std::vector<double> pointRead_;

    // While a body is made on the conversion heap, the buffers read into are others, grown on
    // it and given back to it before its end; those of before come back after.
    class Aside {
    public:
        explicit Aside(const Maker& maker) : maker_(maker) {
            maker_.cornersRead_.swap(corners_);
            maker_.pointRead_.swap(point_);
        }
        ~Aside() {
            maker_.cornersRead_.swap(corners_);
            maker_.pointRead_.swap(point_);
        }
        Aside(const Aside&) = delete;
        Aside& operator=(const Aside&) = delete;

    private:
        const Maker& maker_;
        std::vector<int> corners_;
        std::vector<double> point_;
    };
};

} // namespace

std::optional<ProductMesh> RecordBodyMesh::Mesh(uint32_t position, const std::vector<int>& bodies, std::vector<int>* items,
                                                const OpeningCuts* cuts, ReusedItems::Turn* reuse) const {
    if (position >= scan_.ids.size() || bodies.empty()) return std::nullopt;
    try {
        Maker maker(text_, scan_, converter_, metres_, radians_, items, reuse);
        std::vector<MeshItem> parts;
        const int placement = scan_.ProductReferences(position)[0];
        const Matrix toWorld = placement >= 0 ? maker.Placement(placement, cuts != nullptr) : Matrix();
        if (cuts) maker.Cut(bodies, toWorld, *cuts, parts);
        else
            for (int body : bodies) maker.Representation(body, parts);
        ProductMesh mesh;
        std::string problem;
        AddItems(parts, toWorld, mesh, problem);
        if (!problem.empty() || mesh.triangles.empty()) return std::nullopt;
        return mesh;
    } catch (const NotHere&) {
        return std::nullopt;
    }
}

std::vector<int> BodyRepresentationsOf(std::string_view text, const StepScan& scan, int shape) {
    // Identifiers such as "Body" and "Axis" are plain letters; one written otherwise is read by
    // the library's own text decoding, and the product is its to make.
    static const char* const kStandIns[] = {"axis", "box", "footprint", "annotation", "profile",
                                            "clearance", "lighting", "reference", "surface", "body-fallback"};
    std::vector<int> body, other;
    try {
        const Records reader(text, scan);
        const Record definition = reader.Read(shape, "IFCPRODUCTDEFINITIONSHAPE");
        for (int id : References(definition.At(2))) {
            const Record representation = reader.Read(id);
            const std::string_view written = representation.At(1);
            std::string identifier;
            if (written != "$") {
                if (written.size() < 2 || written.front() != '\'' || written.back() != '\'') throw NotHere();
                for (char c : written.substr(1, written.size() - 2)) {
                    if (c == '\\' || c == '\'' || static_cast<unsigned char>(c) >= 0x80) throw NotHere();
                    identifier += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
            }
            if (identifier == "body") body.push_back(id);
            else if (std::find(std::begin(kStandIns), std::end(kStandIns), identifier) == std::end(kStandIns)) other.push_back(id);
        }
    } catch (const NotHere&) {
        return {};
    }
    return body.empty() ? other : body;
}
