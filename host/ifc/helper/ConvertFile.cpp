#include "host/ifc/helper/ConvertFile.h"

#include "host/ifc/building/IfcGuid.h"
#include "host/ifc/helper/BuildingStoreys.h"
#include "host/ifc/helper/ConversionHeap.h"
#include "host/ifc/helper/FaceListMesh.h"
#include "host/ifc/helper/IfcProductFacts.h"
#include "host/ifc/helper/KeptRecordFacts.h"
#include "host/ifc/helper/LibraryMessages.h"
#include "host/ifc/helper/LibraryParse.h"
#include "host/ifc/helper/LibraryShare.h"
#include "host/ifc/helper/ModelHeap.h"
#include "host/ifc/helper/ProductClaims.h"
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/helper/ProductMesh.h"
#include "host/ifc/helper/ProductProperties.h"
#include "host/ifc/helper/ProductReferences.h"
#include "host/ifc/helper/RecordBodyMesh.h"
#include "host/ifc/helper/RecordFacts.h"
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/helper/RecordPresentation.h"
#include "host/ifc/helper/RecordProducts.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/helper/ShareRecordSpans.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/stream/ConversionRecords.h"

#include <ifcpp/IFC4/include/IfcBuildingStorey.h>
#include <ifcpp/IFC4/include/IfcElement.h>
#include <ifcpp/IFC4/include/IfcFeatureElementSubtraction.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRelAggregates.h>
#include <ifcpp/IFC4/include/IfcRelVoidsElement.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcSite.h>
#include <ifcpp/IFC4/include/IfcSpace.h>
#include <ifcpp/geometry/Carve/GeometryConverter.h>
#include <ifcpp/model/BuildingException.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/model/UnitConverter.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <stdexcept>
#include <thread>
#include <unordered_set>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void HangForever() {
    while (true) pause();
}

ConversionOptions options;
// Which of the two converting processes this is: the first, or the second it started.
int share = 1;
// The place in the file of the product the fault is made at, when one is asked for.
std::optional<size_t> faultPosition;
// Whether the fault is made at the product at `position` in this process.
bool FaultAt(size_t position) { return faultPosition == position && options.fault.InShare(share); }
// Set once the fault's product began, when its records are to be cut short.
bool cutAfterProduct = false;

std::string Describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const carve::exception& e) {
        return e.str();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown failure in the IFC library";
    }
}

bool IsCandidate(const IfcProduct& product) {
    if (dynamic_cast<const IfcFeatureElementSubtraction*>(&product)) return false;
    if (dynamic_cast<const IfcSpatialStructureElement*>(&product))
        return dynamic_cast<const IfcSite*>(&product) || dynamic_cast<const IfcSpace*>(&product);
    return true;
}

// The library's opening cut reads every opening's placement without looking; an opening
// without one is left uncut rather than followed.
bool OpeningsArePlaced(const IfcElement& element) {
    for (const auto& weak : element.m_HasOpenings_inverse) {
        auto rel = weak.lock();
        if (rel && rel->m_RelatedOpeningElement && rel->m_RelatedOpeningElement->m_Representation &&
            !rel->m_RelatedOpeningElement->m_ObjectPlacement)
            return false;
    }
    return true;
}

// Openings of its own, or of the element it is a part of.
bool HasOpeningsToCut(const IfcProduct& product) {
    const auto* element = dynamic_cast<const IfcElement*>(&product);
    if (!element) return false;
    if (!element->m_HasOpenings_inverse.empty()) return true;
    for (const auto& weak : element->m_Decomposes_inverse) {
        auto rel = weak.lock();
        auto whole = rel ? dynamic_pointer_cast<IfcElement>(rel->m_RelatingObject) : nullptr;
        if (whole && !whole->m_HasOpenings_inverse.empty()) return true;
    }
    return false;
}

class ProductConverter {
public:
    ProductConverter(shared_ptr<BuildingModel>& model, LibraryMessages& messages)
        : converter_(model), messages_(messages) {
        messages_.Listen(converter_);
        // The library's own tolerance for its solids, as its whole-model conversion sets it.
        shared_ptr<UnitConverter>& units = model->getUnitConverter();
        double lengthFactor = units ? units->getLengthInMeterFactor() : 1.0;
        if (!std::isfinite(lengthFactor) || lengthFactor <= 0) lengthFactor = 1.0;
        carve::setEpsilon(1.5e-05 * lengthFactor);
    }

    // The product's shape, as yet without a body or a placement.
    static shared_ptr<ProductShapeData> Shape(const shared_ptr<IfcProduct>& product) {
        auto shape = std::make_shared<ProductShapeData>(product->m_entity_id);
        shape->m_ifc_object_definition = product;
        return shape;
    }

    // The product's placement given to its shape, as the library's whole-model conversion does.
    void Place(const shared_ptr<IfcProduct>& product, shared_ptr<ProductShapeData>& shape) {
        shape->m_object_placement = product->m_ObjectPlacement;
        if (product->m_ObjectPlacement) {
            std::unordered_set<IfcObjectPlacement*> applied;
            converter_.getRepresentationConverter()->getPlacementConverter()->convertIfcObjectPlacement(product->m_ObjectPlacement,
                                                                                                      shape, applied, false);
        }
    }

    // The product's body converted by the library, placed and with its openings cut.
    shared_ptr<ProductShapeData> Convert(const shared_ptr<IfcProduct>& product,
                                         const std::vector<shared_ptr<IfcRepresentation>>& bodies) {
        shared_ptr<ProductShapeData> shape = Shape(product);
        shared_ptr<RepresentationConverter>& rc = converter_.getRepresentationConverter();
        for (const auto& body : bodies) {
            auto data = std::make_shared<RepresentationData>();
            rc->convertIfcRepresentation(body, data);
            shape->m_vec_representations.push_back(data);
            data->m_parent_product = shape;
        }
        Place(product, shape);
        if (auto element = dynamic_pointer_cast<IfcElement>(product)) {
            if (OpeningsArePlaced(*element)) rc->subtractOpenings(element, shape);
            // A part of an element takes the openings of its whole.
            for (const auto& weak : element->m_Decomposes_inverse) {
                auto rel = weak.lock();
                auto whole = rel ? dynamic_pointer_cast<IfcElement>(rel->m_RelatingObject) : nullptr;
                if (whole && !whole->m_HasOpenings_inverse.empty() && OpeningsArePlaced(*whole))
                    rc->subtractOpenings(whole, shape);
            }
        }
        return shape;
    }

    // The product's mesh, made on the conversion heap (ConversionHeap.h) and copied off it;
    // empty, with `problem` said, when the library failed.
    // `offHeap` says when the mesh was not made on the fixed heap, or left something on it.
    ProductMesh Mesh(const shared_ptr<IfcProduct>& product, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
                     std::string& problem, std::optional<OffHeapCause>& offHeap) {
        const size_t leaks = ConversionHeap::Leaks();
        bool fixed = false;
        ProductMesh mesh = MeshOnHeap(product, bodies, problem, fixed);
        if (!fixed) offHeap = OffHeapCause::HeapNotHad;
        else if (ConversionHeap::Leaks() != leaks) offHeap = OffHeapCause::Leaked;
        return mesh;
    }

private:
    ProductMesh MeshOnHeap(const shared_ptr<IfcProduct>& product, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
                           std::string& problem, bool& fixed) {
        ProductMesh mesh;
        ConversionHeap::Scope heap;
        fixed = heap.Fixed();
        try {
            std::string said;
            ProductMesh made;
            bool direct = false;
            if (options.faceListMeshing && !HasOpeningsToCut(*product) && IsFaceListBody(bodies)) {
                shared_ptr<ProductShapeData> shape = Shape(product);
                Place(product, shape);
                direct = MeshFaceListBody(*converter_.getRepresentationConverter(), bodies, shape->getTransform(), made, said);
            }
            if (!direct) {
                shared_ptr<ProductShapeData> shape = Convert(product, bodies);
                made = TriangulateProduct(*shape, said);
                shape->clearAll();
            }
            {
                ConversionHeap::Pause pause;
                mesh.vertices.assign(made.vertices.begin(), made.vertices.end());
                mesh.triangles.assign(made.triangles.begin(), made.triangles.end());
                problem.assign(said);
            }
        } catch (...) {
            ConversionHeap::Pause pause;
            problem = Describe(std::current_exception());
        }
        // What the library keeps between products would hold memory of this one's heap.
        converter_.getRepresentationConverter()->clearCache();
        return mesh;
    }

public:
    RepresentationConverter& Representations() { return *converter_.getRepresentationConverter(); }

private:
    GeometryConverter converter_;
    LibraryMessages& messages_;
};

std::string Reason(const std::string& what, const LibraryMessages& messages, size_t mark) {
    std::string said = messages.Since(mark);
    return said.empty() ? what : what + ": " + said;
}

// The library's reading of the file; or, when the records give every product's facts, the
// records' reading of the products and the library's of those whose bodies only it makes.
struct LibraryModel {
    shared_ptr<BuildingModel> model;
    const StepScan& scan;
    std::vector<BuildingEntity*> parsed;   // by place in the file, as scan.ids, when the library parsed the whole file
    RecordPathPlan& plan;
    RecordProducts* records = nullptr;     // when the library parsed the file for some products' bodies only, or not at all
    std::vector<bool> byLibrary;           // with `records`: the products the library parsed, whose bodies are its to make

    bool Parsed(size_t position) const { return !records || (position < byLibrary.size() && byLibrary[position]); }
    // Each record's entity by its place: RecordProducts::Made, not copied, with `records`.
    const BuildingEntity* Entity(uint32_t position) const {
        if (records) return records->MadeAt(position);
        return position < parsed.size() ? parsed[position] : nullptr;
    }
};

// The product at `position`, when it is one to convert. Other records are passed over without
// taking a shared pointer: its count is written in a page of the model, which a process
// sharing the model's pages would then have to copy.
shared_ptr<IfcProduct> CandidateAt(const LibraryModel& library, size_t position) {
    if (!library.scan.MayBeProduct(static_cast<uint32_t>(position))) return nullptr;
    const auto* product = dynamic_cast<const IfcProduct*>(library.Entity(static_cast<uint32_t>(position)));
    if (!product || !IsCandidate(*product)) return nullptr;
    if (!library.Parsed(position)) return library.records->ProductAt(static_cast<uint32_t>(position)).value_or(nullptr);
    return dynamic_pointer_cast<IfcProduct>(library.model->getMapIfcEntities().at(library.scan.ids[position]));
}

// Names the path each product's body took, one line of "record" or "library" and its GlobalId
// to a file, when BV_IFC_PATH_LOG names one: the share of each is a measure of the record path.
// Its facts are named the same way, as "facts-record" or "facts-library"; and how much of the
// file the library parsed as "parse all", "parse share" or "parse none".
void LogLine(std::string_view word, std::string_view what) {
    static const char* const path = std::getenv("BV_IFC_PATH_LOG");
    if (!path) return;
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string line = std::string(word) + " " + std::string(what) + "\n";
    [[maybe_unused]] const ssize_t written = write(fd, line.data(), line.size());
    close(fd);
}

void LogPath(bool byRecords, const std::string& globalId, const char* what = "") {
    LogLine(what + std::string(byRecords ? "record" : "library"), globalId);
}

// What converting products needs, kept from one product to the next.
struct Conversion {
    Conversion(LibraryModel& library, LibraryMessages& messages, ProductReferences& references, std::string_view text,
               RecordFacts* recordFacts, RecordPresentation* presentation, const KeptRecordFacts& kept)
        : library(library), messages(messages), references(references), converter(library.model, messages), text(text),
          recordFacts(recordFacts), presentation(presentation), kept(kept) {}

    LibraryModel& library;
    LibraryMessages& messages;
    ProductReferences& references;
    ProductConverter converter;
    std::string_view text;
    SingleValueReader values;
    RecordFacts* recordFacts;          // null when the records make no bodies, or every product's facts are kept
    RecordPresentation* presentation;
    const KeptRecordFacts& kept;
};

void GiveColour(const std::optional<SurfaceColour>& colour, IfcProductData& p) {
    if (!colour) return;
    p.hasColour = true;
    p.rgb = colour->rgb;
    p.transparency = colour->transparency;
}

// The product's facts, layer and colours from the file's records, when all of them are read
// there; `p` untouched otherwise.
bool ReadRecordFacts(RecordFacts* records, RecordPresentation* presentation, size_t position, const std::vector<int>& bodies,
                     IfcProductData& p) {
    if (!records || !presentation) return false;
    const auto at = static_cast<uint32_t>(position);
    std::optional<RecordProductFacts> facts = records->Of(at);
    std::optional<std::string> layer = facts ? presentation->LayerOf(bodies) : std::nullopt;
    std::optional<std::optional<SurfaceColour>> colour = layer ? presentation->ColourOf(bodies) : std::nullopt;
    if (colour && !*colour) {
        // A body without a colour of its own is drawn in its material's.
        const std::optional<std::vector<uint32_t>> materials = records->MaterialsOf(at);
        colour = materials ? presentation->MaterialColourOf(*materials) : std::nullopt;
    }
    if (!colour) return false;
    p.description = std::move(facts->description);
    p.objectType = std::move(facts->objectType);
    p.materials = std::move(facts->materials);
    p.classifications = std::move(facts->classifications);
    p.properties = std::move(facts->properties);
    p.layer = std::move(*layer);
    GiveColour(*colour, p);
    return true;
}

// The product's facts from the file's records where they are all read there, else from the
// library's entities.
void ReadFacts(Conversion& c, size_t position, const IfcProduct& product, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
               const std::vector<int>& bodyIds, IfcProductData& p) {
    const bool recorded = c.kept.Give(static_cast<uint32_t>(position), bodyIds, p) ||
                          ReadRecordFacts(c.recordFacts, c.presentation, position, bodyIds, p);
    LogPath(recorded, p.globalId, "facts-");
    if (recorded) return;
    // Without the library's model there are no facts but the records'.
    if (c.library.records) throw std::runtime_error("its facts were not read from the records as planned");
    p.layer = LayerOf(bodies);
    GiveColour(ColourOf(bodies), p);
    ReadProductFacts(product, p, c.values);
}

// The body the plan made from the file's records, taken from it. The library did not read what
// only such a body uses: a product it finds other bodies for is a fault of the plan, said as one.
std::optional<ProductMesh> MeshFromRecords(Conversion& c, size_t position, const std::vector<int>& ids, std::string& problem) {
    RecordPathPlan& plan = c.library.plan;
    if (!plan.ByRecords(position)) {
        if (!c.library.Parsed(position)) problem = "its body was not made from the records as planned";
        return std::nullopt;
    }
    if (ids != BodyRepresentationsOf(c.text, c.library.scan, c.library.scan.ProductReferences(static_cast<uint32_t>(position))[1])) {
        problem = "its body was not made from the records as planned";
        return std::nullopt;
    }
    std::optional<ProductMesh> mesh = plan.meshes.Copy(static_cast<uint32_t>(position));
    if (!mesh) problem = "its body made from the records was given back before its turn";
    return mesh;
}

// In the converting child: the product at `position`, when it is one, announced before the
// library works on it.
void MakeProductRecords(Conversion& c, size_t position, RecordWriter& out) {
    LibraryModel& library = c.library;
    LibraryMessages& messages = c.messages;
    ProductConverter& converter = c.converter;
    shared_ptr<IfcProduct> product = CandidateAt(library, position);
    if (!product) return;
    // The library's body representations when it parsed the file; their numbers either way.
    std::vector<shared_ptr<IfcRepresentation>> bodies;
    std::vector<int> bodyIds;
    if (!library.Parsed(position)) {
        bodyIds = library.records->BodiesOf(static_cast<uint32_t>(position)).value_or(std::vector<int>());
    } else {
        bodies = BodyRepresentations(*product);
        for (const auto& body : bodies) bodyIds.push_back(body->m_entity_id);
    }
    std::string unread = c.references.UnreadRecordUse(product->m_entity_id, bodyIds);
    if (bodyIds.empty() && unread.empty()) return;

    IfcProductData p;
    p.globalId = GlobalIdOf(*product);
    p.ifcClass = IfcClassOf(*product);
    p.name = NameOf(*product);
    const IfcSkippedProduct identity{p.globalId, p.ifcClass, {}, {}, p.name, product->m_entity_id};
    out.Begin(static_cast<uint32_t>(position), identity);
    if (FaultAt(position)) {
        switch (options.fault.kind) {
        case HelperFaultKind::Crash:
            kill(getpid(), SIGKILL);
            break;
        case HelperFaultKind::Hang:
            HangForever();
        case HelperFaultKind::Full:
            out.Refuse();
            break;
        case HelperFaultKind::Short:
            cutAfterProduct = true;
            break;
        case HelperFaultKind::OffHeap:
        case HelperFaultKind::None:
            break;
        }
    }
    auto skip = [&](IfcLeftOutCause cause, std::string reason) {
        IfcSkippedProduct s = identity;
        s.cause = cause;
        s.reason = std::move(reason);
        out.Skipped(s);
    };

    // One past 128 bits gets its GUID from the reader, which knows the file's others.
    std::optional<API_Guid> guid = DecodeIfcGlobalId(p.globalId);
    if (!guid && !IsOutOfRangeIfcGlobalId(p.globalId)) {
        skip(IfcLeftOutCause::NoGlobalId,
             p.globalId.empty() ? "no GlobalId" : "GlobalId \"" + p.globalId + "\" is not an IFC GlobalId");
        return;
    }
    if (guid) p.guid = *guid;
    if (!unread.empty()) {
        skip(IfcLeftOutCause::GeometryNotMade, "geometry not converted: " + unread);
        return;
    }

    size_t mark = messages.Count();
    std::string problem;
    std::optional<OffHeapCause> offHeap;
    const bool planned = library.plan.ByRecords(position);
    std::optional<ProductMesh> byRecords = MeshFromRecords(c, position, bodyIds, problem);
    LogPath(planned, p.globalId);
    ProductMesh mesh;
    if (byRecords) mesh = std::move(*byRecords);
    else if (!planned) mesh = converter.Mesh(product, bodies, problem, offHeap);
    if (options.fault.kind == HelperFaultKind::OffHeap && FaultAt(position))
        offHeap = OffHeapCause::HeapNotHad;
    if (!problem.empty()) {
        skip(IfcLeftOutCause::GeometryNotMade, Reason("geometry not converted: " + problem, messages, mark));
        return;
    }
    if (mesh.triangles.empty()) {
        skip(IfcLeftOutCause::NoBody, Reason("no body geometry", messages, mark));
        return;
    }
    p.vertices = std::move(mesh.vertices);
    p.triangles = std::move(mesh.triangles);
    try {
        p.predefinedType = PredefinedTypeOf(*product);
        p.tag = TagOf(*product);
        p.storey = library.records ? library.records->StoreyOf(static_cast<uint32_t>(position)).value_or(std::string())
                                   : StoreyOf(*product);
        ReadFacts(c, position, *product, bodies, bodyIds, p);
    } catch (...) {
        skip(IfcLeftOutCause::AttributesNotRead, "attributes not read: " + Describe(std::current_exception()));
        return;
    }
    out.Product(p);
    if (offHeap) out.OffHeap(*offHeap);
}

void ConvertProduct(Conversion& c, size_t position, RecordWriter& out) {
    MakeProductRecords(c, position, out);
    if (cutAfterProduct) {
        out.CutShort();
        _exit(0);
    }
}

// Nobody hears the rest: the reader is gone, or takes the stream for cut at this product.
void EndWhenUnheard(const RecordWriter& out) {
    if (out.FellShort()) _exit(0);
}

// The products from `from` to `to`.
void ConvertProducts(Conversion& c, size_t from, size_t to, RecordWriter& out) {
    for (size_t position = from; position < to; ++position) {
        ConvertProduct(c, position, out);
        c.library.plan.meshes.GiveBackBefore(static_cast<uint32_t>(position + 1));
        EndWhenUnheard(out);
    }
}

// Fewer products than this are not worth a second process.
constexpr size_t kMinProductsToShare = 64;

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // the reader is gone
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

// The products to convert from `from` on, by their places in the file.
std::vector<size_t> CandidatesFrom(const LibraryModel& library, size_t from) {
    const StepScan& scan = library.scan;
    std::vector<size_t> products;
    for (size_t position = from; position < scan.ids.size(); ++position) {
        if (!scan.MayBeProduct(static_cast<uint32_t>(position))) continue;
        const auto* product = dynamic_cast<const IfcProduct*>(library.Entity(static_cast<uint32_t>(position)));
        if (product && IsCandidate(*product)) products.push_back(position);
    }
    return products;
}

// Those of `candidates` with a body: the products the reader hears of, which its progress
// counts and the fault seam numbers.
std::vector<size_t> WithBodies(const LibraryModel& library, const std::vector<size_t>& candidates) {
    std::vector<size_t> bodied;
    for (size_t position : candidates) {
        if (library.records) {
            const std::optional<std::vector<int>> bodies = library.records->BodiesOf(static_cast<uint32_t>(position));
            if (bodies && !bodies->empty()) bodied.push_back(position);
            continue;
        }
        const auto* product = dynamic_cast<const IfcProduct*>(library.Entity(static_cast<uint32_t>(position)));
        if (product && !BodyRepresentations(*product).empty()) bodied.push_back(position);
    }
    return bodied;
}

// The second process's records, which come through a memory file from the back of the list
// forwards, each product's where `spans` says: passed on as they are done, between this
// process's own products, and the rest once it has ended. The reader puts them in the file's
// order. A product it died or hung on is left out; one it took but gave nothing of is converted
// here.
class SecondShare {
public:
    // How the second ends when its memory file takes no more.
    static constexpr int kFileFull = 3;

    SecondShare(pid_t pid, int file, const ShareRecordSpans& spans, size_t count)
        : pid_(pid), file_(file), spans_(spans), next_(count) {}

    // Every product from here on was passed on.
    size_t Passed() const { return next_; }

    // Those done since the last time, from the back.
    void PassDone(RecordWriter& out, int fd) {
        bool flushed = false;
        while (next_ > 0) {
            const ShareRecordSpans::Span span = spans_.Of(next_ - 1);
            if (!span.ended) return;
            if (!flushed) {
                out.Flush(); // never inside this process's own records
                flushed = true;
            }
            if (!Pass(span.begin, span.end - span.begin, fd)) return;
            --next_;
        }
    }

    void Finish(Conversion& c, const std::vector<size_t>& candidates, const ProductClaims& claims, RecordWriter& out, int fd) {
        out.Flush();
        const int status = Wait();
        const bool died = !WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != kFileFull);
        for (size_t index = claims.Back(); index < next_; ++index) {
            const size_t position = candidates[index];
            const ShareRecordSpans::Span span = spans_.Of(index);
            if (span.ended && Pass(span.begin, span.end - span.begin, fd)) continue;
            IfcSkippedProduct begun;
            if (died && span.begun && !span.ended && BegunAt(span.begin, begun)) {
                out.Begin(static_cast<uint32_t>(position), begun);
                begun.cause = IfcLeftOutCause::GeometryNotMade;
                begun.reason = "geometry not converted: the IFC library failed on it";
                out.Skipped(begun);
            } else {
                ConvertProduct(c, position, out);
            }
            out.Flush();
        }
        close(file_);
    }

private:
    // Its end, once it has ended or been ended for a hang: no news from it for too long.
    int Wait() {
        int status = 0;
        off_t size = 0;
        auto lastNews = std::chrono::steady_clock::now();
        while (waitpid(pid_, &status, WNOHANG) != pid_) {
            struct stat now {};
            if (fstat(file_, &now) == 0 && now.st_size != size) {
                size = now.st_size;
                lastNews = std::chrono::steady_clock::now();
            }
            if (std::chrono::steady_clock::now() - lastNews > std::chrono::milliseconds(options.secondQuietMilliseconds)) {
                kill(pid_, SIGKILL);
                while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
                }
                break;
            }
            usleep(5'000);
        }
        return status;
    }

    // False while they are not all written out.
    bool Pass(uint64_t at, uint64_t size, int fd) {
        if (size == 0) return true; // a product it found nothing to send of
        std::string bytes(size, '\0');
        const ssize_t n = pread(file_, bytes.data(), bytes.size(), static_cast<off_t>(at));
        if (n != static_cast<ssize_t>(bytes.size())) return false;
        WriteAll(fd, bytes);
        // Passed on, its bytes are memory no longer needed.
        fallocate(file_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(at), static_cast<off_t>(size));
        return true;
    }

    // The product named by the record that begins at `at`, when a whole one does.
    bool BegunAt(uint64_t at, IfcSkippedProduct& product) {
        std::string bytes(size_t{1} << 16, '\0');
        const ssize_t n = pread(file_, bytes.data(), bytes.size(), static_cast<off_t>(at));
        if (n <= 0) return false;
        std::string_view rest(bytes.data(), static_cast<size_t>(n));
        ConversionRecord record;
        if (!ReadRecord(rest, record) || record.kind != RecordKind::Begin) return false;
        product = std::move(record.skipped);
        return true;
    }

    pid_t pid_;
    int file_;
    const ShareRecordSpans& spans_;
    size_t next_; // every product from here on is passed
};

// The products with a body, when the records give every one's own attributes, storey, facts and
// looks, and the file's storeys, and the library would find every record of the file; nothing
// when some product needs the library's whole model. The facts read are kept for the products'
// turns, and every product to convert, with a body or not, in `candidates` (CandidatesFrom).
std::optional<std::vector<uint32_t>> ProductsReadFromRecords(const StepScan& scan, RecordProducts& records, RecordFacts& facts,
                                                             RecordPresentation& presentation, KeptRecordFacts& kept,
                                                             std::vector<size_t>& candidates) {
    if (!records.Whole()) return std::nullopt;

    std::vector<uint32_t> products;
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        if (!scan.MayBeProduct(position)) continue;
        const auto* kind = dynamic_cast<const IfcProduct*>(records.MadeAt(position));
        if (!kind || !IsCandidate(*kind)) continue;
        candidates.push_back(position);
        const std::optional<std::vector<int>> bodies = records.BodiesOf(position);
        if (!bodies) return std::nullopt;
        if (bodies->empty()) continue;
        IfcProductData scratch;
        if (!records.ProductAt(position) || !records.StoreyOf(position) ||
            !ReadRecordFacts(&facts, &presentation, position, *bodies, scratch))
            return std::nullopt;
        kept.Keep(position, *bodies, scratch);
        products.push_back(position);
    }
    if (!records.Storeys()) return std::nullopt;
    return products;
}

void ConvertInProcess(std::string_view stepText, const StepScan& scan, size_t from, int fd) {
    // The process ends after this file: its model and its records need no heap that gives back.
    ModelHeap::Enable();
    RecordWriter out(fd);
    out.Header();
    try {
        LibraryMessages messages;
        // Never taken apart: the child's end frees it, faster than the library's own clearing.
        auto model = std::make_shared<BuildingModel>();
        new shared_ptr<BuildingModel>(model);
        messages.Listen(*model);
        const unsigned wanted = options.threads;
        const unsigned cores = wanted ? wanted : std::max(1u, std::thread::hardware_concurrency());
        // Every record's name once, for the plan's, the facts' and the share's walks alike.
        std::optional<RecordTypes> types;
        if (options.recordMeshing) types.emplace(stepText, scan, cores);
        // The facts and looks the records give, and whether every product's are given there: read
        // beside the making of the bodies.
        std::optional<RecordFacts> recordFacts;
        std::optional<RecordPresentation> presentation;
        std::optional<RecordProducts> records;
        std::optional<std::vector<uint32_t>> readable;
        std::vector<size_t> recordCandidates;
        KeptRecordFacts kept;
        std::thread besides;
        if (options.recordMeshing) {
            besides = std::thread([&] {
                try {
                    recordFacts.emplace(stepText, scan, *types);
                    presentation.emplace(stepText, scan, *types);
                    records.emplace(stepText, scan, *types);
                    readable = ProductsReadFromRecords(scan, *records, *recordFacts, *presentation, kept, recordCandidates);
                } catch (...) {
                    readable.reset();
                }
            });
        }
        // Which bodies the records make, and what the library need not read for them.
        RecordPathPlan plan;
        try {
            if (options.recordMeshing) plan = PlanRecordPath(stepText, scan, *types, cores, options.reuseItems);
        } catch (...) {
            if (besides.joinable()) besides.join();
            throw;
        }
        if (besides.joinable()) besides.join();
        const std::vector<RecordUse>* use = plan.use.empty() ? nullptr : &plan.use;
        // The products whose bodies only the library makes, which it parses the file for.
        std::optional<std::vector<uint32_t>> byLibrary;
        if (readable) {
            byLibrary.emplace();
            for (uint32_t position : *readable)
                if (!plan.ByRecords(position)) byLibrary->push_back(position);
            // Every product's facts and looks are kept: their readers are not asked again.
            recordFacts.reset();
            presentation.reset();
        } else {
            records.reset();
        }
        LibraryModel library{model, scan, {}, plan, nullptr, {}};
        std::optional<ProductReferences> references;
        if (records) {
            // The library parses no more than the bodies only it makes need, if any.
            library.records = &*records;
            references.emplace(stepText, scan, [&made = *records](uint32_t position) { return made.MadeAt(position); }, records->Said(),
                               nullptr);
            if (byLibrary->empty()) {
                model->getUnitConverter()->setLengthInMeterFactor(plan.metres);
            } else {
                library.byLibrary.assign(scan.ids.size(), false);
                for (uint32_t position : *byLibrary) library.byLibrary[position] = true;
                const std::vector<RecordUse> share = LibraryShare(stepText, scan, *types, *byLibrary);
                try {
                    ParseShareWithLibrary(stepText, scan, model, messages, cores, share);
                } catch (const EIfcFile&) {
                    throw;
                } catch (...) {
                    throw EIfcFile("not readable as IFC: " + Describe(std::current_exception()));
                }
            }
        } else {
            references.emplace(
                stepText, scan, [&parsed = library.parsed](uint32_t position) { return position < parsed.size() ? parsed[position] : nullptr; },
                messages, use);
            // Once for the file: a child started after a library fault follows one that passed.
            auto refuseMissing = [&](const std::vector<BuildingEntity*>& entities) {
                if (from != 0) return;
                library.parsed = entities;
                references->RefuseMissingRecords();
            };
            try {
                library.parsed = ParseWithLibrary(stepText, scan, model, messages, cores, refuseMissing, use);
            } catch (const EIfcFile&) {
                throw;
            } catch (...) {
                throw EIfcFile("not readable as IFC: " + Describe(std::current_exception()));
            }
        }
        LogLine("parse", !records ? "all" : byLibrary->empty() ? "none" : "share");
        LogLine("reused", std::to_string(plan.reusedItems));
        // With the records' reading, its own list of them, found beside the plan.
        const std::vector<size_t> candidates =
            readable ? std::vector<size_t>(std::lower_bound(recordCandidates.begin(), recordCandidates.end(), from), recordCandidates.end())
                     : CandidatesFrom(library, from);
        // With the records' reading, the products with bodies are those it read, found already.
        const size_t bodied = readable ? static_cast<size_t>(std::count_if(readable->begin(), readable->end(),
                                                                           [from](uint32_t position) { return position >= from; }))
                                       : WithBodies(library, candidates).size();
        out.Parsed(static_cast<uint32_t>(bodied));
        if (from == 0) out.Storeys(records ? records->Storeys().value_or(std::vector<std::string>()) : BuildingStoreysOf(library.parsed));
        if (options.fault.kind != HelperFaultKind::None) {
            const std::vector<size_t> all = WithBodies(library, CandidatesFrom(library, 0));
            if (options.fault.product < all.size()) faultPosition = all[options.fault.product];
        }
        // The products shared with a second process on the model parsed once, each taking the
        // next from its end of the list; every product is made on the conversion heap, the same
        // bytes in either process.
        Conversion conversion(library, messages, *references, stepText, recordFacts ? &*recordFacts : nullptr,
                              presentation ? &*presentation : nullptr, kept);
        std::optional<ProductClaims> claims;
        std::optional<ShareRecordSpans> spans;
        if (cores > 1 && candidates.size() >= kMinProductsToShare) {
            claims.emplace(candidates.size());
            spans.emplace(candidates.size());
        }
        if (claims && claims->Valid() && spans->Valid()) {
            out.Flush();
            const int file = memfd_create("ifc-share", MFD_CLOEXEC);
            const pid_t pid = file < 0 ? -1 : fork();
            ModelHeap::Renew();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                share = 2;
                // Never back into this process's caller: its pipe is not this one's to write.
                try {
                    RecordWriter second(file);
                    // A product's records go out with the next one's beginning, which is written out
                    // at once: a write is a large part of a small product's cost.
                    while (auto index = claims->TakeBack()) {
                        spans->Began(*index, second.Offset());
                        ConvertProduct(conversion, candidates[*index], second);
                        if (second.FellShort()) _exit(SecondShare::kFileFull);
                        spans->Ended(*index, second.Offset());
                        // Neither this one's products done nor the first's are made here again.
                        plan.meshes.GiveBackFrom(static_cast<uint32_t>(candidates[*index]));
                        if (const size_t front = claims->Front(); front < candidates.size())
                            plan.meshes.GiveBackBefore(static_cast<uint32_t>(candidates[front]));
                    }
                    second.Flush();
                    if (second.FellShort()) _exit(SecondShare::kFileFull);
                } catch (...) {
                    _exit(2);
                }
                _exit(0);
            }
            // Without a second process this one takes every product from the front.
            std::optional<SecondShare> second;
            if (pid > 0) second.emplace(pid, file, *spans, candidates.size());
            while (auto index = claims->TakeFront()) {
                ConvertProduct(conversion, candidates[*index], out);
                EndWhenUnheard(out);
                // This process makes again only what the second took and has not passed.
                plan.meshes.GiveBackBefore(static_cast<uint32_t>(candidates[*index] + 1));
                if (second) {
                    second->PassDone(out, fd);
                    if (second->Passed() < candidates.size())
                        plan.meshes.GiveBackFrom(static_cast<uint32_t>(candidates[second->Passed()]));
                }
            }
            if (second) {
                // While the second share's records are passed on, the file's whole reading is held
                // on both sides of the pipe: what this share needed no more goes back.
                ConversionHeap::GiveBack();
                second->Finish(conversion, candidates, *claims, out, fd);
            } else if (file >= 0) {
                close(file);
            }
        } else {
            ConvertProducts(conversion, from, scan.ids.size(), out);
        }
        out.End();
    } catch (const EIfcFile& e) {
        out.Failed(e.what());
    } catch (...) {
        out.Failed("not readable as IFC: " + Describe(std::current_exception()));
    }
    out.Flush();
}

} // namespace

void ConvertFile(std::string_view stepText, const StepScan& scan, size_t from, int fd, const ConversionOptions& given) {
    options = given;
    ConvertInProcess(stepText, scan, from, fd);
}
