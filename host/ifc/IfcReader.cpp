#include "host/ifc/IfcReader.h"

#include "host/ifc/BuildingStoreys.h"
#include "host/ifc/ChildProcess.h"
#include "host/ifc/ConversionHeap.h"
#include "host/ifc/ConversionRecords.h"
#include "host/ifc/FaceListMesh.h"
#include "host/ifc/FileBytes.h"
#include "host/ifc/IfcGuid.h"
#include "host/ifc/IfcProductFacts.h"
#include "host/ifc/IfcWorkSchedules.h"
#include "host/ifc/LibraryMessages.h"
#include "host/ifc/LibraryParse.h"
#include "host/ifc/ModelHeap.h"
#include "host/ifc/ProductClaims.h"
#include "host/ifc/ProductFacts.h"
#include "host/ifc/ProductMesh.h"
#include "host/ifc/ProductProperties.h"
#include "host/ifc/ProductReferences.h"
#include "host/ifc/ProductsInFileOrder.h"
#include "host/ifc/ShareRecordSpans.h"
#include "host/ifc/StepEntityScan.h"
#include "host/ifc/StepHeader.h"

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

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxIfcBytes = size_t{1} << 30;

std::atomic<unsigned> readerThreads{0};
std::atomic<bool> faceListMeshing{true};

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
    ProductMesh Mesh(const shared_ptr<IfcProduct>& product, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
                     std::string& problem) {
        ProductMesh mesh;
        ConversionHeap::Scope heap;
        try {
            std::string said;
            ProductMesh made;
            bool direct = false;
            if (faceListMeshing && !HasOpeningsToCut(*product) && IsFaceListBody(bodies)) {
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

private:
    GeometryConverter converter_;
    LibraryMessages& messages_;
};

std::string Reason(const std::string& what, const LibraryMessages& messages, size_t mark) {
    std::string said = messages.Since(mark);
    return said.empty() ? what : what + ": " + said;
}

// The library's reading of the file.
struct LibraryModel {
    shared_ptr<BuildingModel> model;
    const StepScan& scan;
    std::vector<BuildingEntity*> entities; // by place in the file, as scan.ids
};

// The product at `position`, when it is one to convert. Other records are passed over without
// taking a shared pointer: its count is written in a page of the model, which a process
// sharing the model's pages would then have to copy.
shared_ptr<IfcProduct> CandidateAt(const LibraryModel& library, size_t position) {
    if (!library.scan.MayBeProduct(static_cast<uint32_t>(position))) return nullptr;
    const auto* product = dynamic_cast<const IfcProduct*>(library.entities[position]);
    if (!product || !IsCandidate(*product)) return nullptr;
    return dynamic_pointer_cast<IfcProduct>(library.model->getMapIfcEntities().at(library.scan.ids[position]));
}

// What converting products needs, kept from one product to the next.
struct Conversion {
    Conversion(LibraryModel& library, LibraryMessages& messages, ProductReferences& references)
        : library(library), messages(messages), references(references), converter(library.model, messages) {}

    LibraryModel& library;
    LibraryMessages& messages;
    ProductReferences& references;
    ProductConverter converter;
    SingleValueReader values;
};

// In the converting child: the product at `position`, when it is one, announced before the
// library works on it.
void ConvertProduct(Conversion& c, size_t position, RecordWriter& out) {
    LibraryModel& library = c.library;
    LibraryMessages& messages = c.messages;
    ProductConverter& converter = c.converter;
    shared_ptr<IfcProduct> product = CandidateAt(library, position);
    if (!product) return;
    std::vector<shared_ptr<IfcRepresentation>> bodies = BodyRepresentations(*product);
    std::string unread = c.references.UnreadRecordUse(*product, bodies);
    if (bodies.empty() && unread.empty()) return;

    IfcProductData p;
    p.globalId = GlobalIdOf(*product);
    p.ifcClass = IfcClassOf(*product);
    p.name = NameOf(*product);
    const IfcSkippedProduct identity{p.globalId, p.ifcClass, {}, {}, p.name, product->m_entity_id};
    out.Begin(static_cast<uint32_t>(position), identity);
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
    ProductMesh mesh = converter.Mesh(product, bodies, problem);
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
        p.layer = LayerOf(bodies);
        p.storey = StoreyOf(*product);
        if (auto colour = ColourOf(bodies)) {
            p.hasColour = true;
            p.rgb = colour->rgb;
            p.transparency = colour->transparency;
        }
        ReadProductFacts(*product, p, c.values);
    } catch (...) {
        skip(IfcLeftOutCause::AttributesNotRead, "attributes not read: " + Describe(std::current_exception()));
        return;
    }
    out.Product(p);
}

// The products from `from` to `to`.
void ConvertProducts(Conversion& c, size_t from, size_t to, RecordWriter& out) {
    for (size_t position = from; position < to; ++position) ConvertProduct(c, position, out);
}

// The library's own faults (it follows references it never checked) end only the child that
// met them; a product it fails on is left out and the rest converted by a new child.
constexpr int kMaxLibraryFailures = 16;
// A product the library has worked on this long without an answer is taken for a hang; the
// parse before the first product gets a second more for every 10 MB.
constexpr int kMaxSecondsPerProduct = 60;
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
        const auto* product = dynamic_cast<const IfcProduct*>(library.entities[position]);
        if (product && IsCandidate(*product)) products.push_back(position);
    }
    return products;
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
            if (std::chrono::steady_clock::now() - lastNews > std::chrono::seconds(kMaxSecondsPerProduct)) {
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

void ConvertInChild(std::string_view stepText, const StepScan& scan, size_t from, int fd) {
    // The process ends after this file: its model and its records need no heap that gives back.
    ModelHeap::Enable();
    RecordWriter out(fd);
    try {
        LibraryMessages messages;
        // Never taken apart: the child's end frees it, faster than the library's own clearing.
        auto model = std::make_shared<BuildingModel>();
        new shared_ptr<BuildingModel>(model);
        messages.Listen(*model);
        const unsigned wanted = readerThreads.load();
        const unsigned cores = wanted ? wanted : std::max(1u, std::thread::hardware_concurrency());
        LibraryModel library{model, scan, {}};
        ProductReferences references(stepText, scan, library.entities, messages);
        // Once for the file: a child started after a library fault follows one that passed.
        auto refuseMissing = [&](const std::vector<BuildingEntity*>& entities) {
            if (from != 0) return;
            library.entities = entities;
            references.RefuseMissingRecords();
        };
        try {
            library.entities = ParseWithLibrary(stepText, scan, model, messages, cores, refuseMissing);
        } catch (const EIfcFile&) {
            throw;
        } catch (...) {
            throw EIfcFile("not readable as IFC: " + Describe(std::current_exception()));
        }
        out.Parsed();
        if (from == 0) out.Storeys(BuildingStoreysOf(library.entities));
        // The products shared with a second process on the model parsed once, each taking the
        // next from its end of the list; every product is made on the conversion heap, the same
        // bytes in either process.
        Conversion conversion(library, messages, references);
        const std::vector<size_t> candidates = cores > 1 ? CandidatesFrom(library, from) : std::vector<size_t>();
        std::optional<ProductClaims> claims;
        std::optional<ShareRecordSpans> spans;
        if (candidates.size() >= kMinProductsToShare) {
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
                if (second) second->PassDone(out, fd);
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

std::string Subject(const IfcProductData& p) {
    return p.name.empty() ? p.globalId : "\"" + p.name + "\"";
}

// In file order, each a GUID no other product of the file has: neither one a GlobalId in range
// gives (read or left out) nor one given before. The same text again is a repeated GlobalId.
void GiveOutOfRangeGuids(IfcBuildingData& data, const std::vector<size_t>& outOfRange, std::unordered_set<API_Guid, API_GuidHash>& taken) {
    if (outOfRange.empty()) return;
    for (const auto& s : data.skipped)
        if (auto guid = DecodeIfcGlobalId(s.globalId)) taken.insert(*guid);
    std::unordered_set<std::string> texts;
    std::vector<bool> drop(data.products.size(), false);
    for (size_t index : outOfRange) {
        IfcProductData& p = data.products[index];
        if (!texts.insert(p.globalId).second) {
            data.skipped.push_back(RepeatedGlobalId(p));
            drop[index] = true;
            continue;
        }
        uint32_t attempt = 0;
        do p.guid = GuidOfOutOfRangeGlobalId(p.globalId, attempt++);
        while (!taken.insert(p.guid).second);
        data.notes.push_back({IfcNoteKind::GlobalIdOutOfRange, Subject(p)});
    }
    size_t kept = 0;
    for (size_t i = 0; i < data.products.size(); ++i) {
        if (drop[i]) continue;
        if (kept != i) data.products[kept] = std::move(data.products[i]);
        ++kept;
    }
    data.products.resize(kept);
}

} // namespace

void SetIfcReaderThreads(unsigned threads) { readerThreads = threads; }

void SetIfcFaceListMeshing(bool direct) { faceListMeshing = direct; }

IfcBuildingData ReadIfcText(std::string_view stepText, IIfcReadProgress* progress) {
    auto cancelled = [progress] { return progress && progress->IsCancelled(); };
    if (progress) progress->ReportPhase(IfcReadPhase::CheckingText, 0, 0);
    IfcBuildingData data;
    data.schema = CheckStepText(stepText);
    const StepScan scan = ScanStepEntities(stepText);

    const int quietSeconds = kMaxSecondsPerProduct + static_cast<int>(stepText.size() / 10'000'000);
    ProductsInFileOrder arrived;
    size_t mayBeProducts = 0;
    for (uint32_t position = 0; position < scan.ids.size(); ++position) mayBeProducts += scan.MayBeProduct(position);
    arrived.Reserve(mayBeProducts);
    if (cancelled()) throw EIfcCancelled();
    size_t converted = 0;
    if (progress) progress->ReportPhase(IfcReadPhase::Converting, 0, mayBeProducts);
    // The work schedules are read here while the child converts, never across a fork: a child
    // of a process with another thread would inherit whatever lock that thread held.
    std::future<ModelWorkSchedules> schedules;
    const std::string schema = data.schema;
    auto readSchedules = [&] {
        if (!schedules.valid())
            schedules = std::async(std::launch::async, [&] { return ReadIfcWorkSchedules(stepText, scan, schema); });
    };
    size_t from = 0;
    for (int failures = 0;; ++failures) {
        bool parsed = false, ended = false, working = false;
        std::optional<std::string> failure;
        IfcSkippedProduct current;
        uint32_t currentPosition = 0;
        // The records are taken as they come, while the child works, rather than all its output
        // held first; one cut short is tried again once twice its bytes wait.
        size_t retryAt = 0;
        auto take = [&](std::string& bytes, bool last) {
            if (!last && bytes.size() < retryAt) return;
            std::string_view rest = bytes;
            ConversionRecord record;
            while (!failure && ReadRecord(rest, record)) {
                switch (record.kind) {
                case RecordKind::Parsed:
                    parsed = true;
                    readSchedules();
                    break;
                case RecordKind::Begin:
                    working = true;
                    current = std::move(record.skipped);
                    currentPosition = record.position;
                    break;
                case RecordKind::Product:
                    working = false;
                    arrived.Add(currentPosition, std::move(record.product));
                    ++converted;
                    break;
                case RecordKind::Skipped:
                    working = false;
                    arrived.Add(currentPosition, std::move(record.skipped));
                    ++converted;
                    break;
                case RecordKind::Storeys:
                    data.storeys = std::move(record.storeys);
                    break;
                case RecordKind::Failed:
                    failure = std::move(record.message);
                    break;
                case RecordKind::End:
                    ended = true;
                    break;
                }
            }
            bytes.erase(0, bytes.size() - rest.size());
            retryAt = 2 * bytes.size();
            // Thrown from here, the child is killed before the read unwinds.
            if (cancelled()) throw EIfcCancelled();
            if (progress) progress->ReportPhase(IfcReadPhase::Converting, converted, mayBeProducts);
        };
        ChildOutput child = RunInChildProcess([&](int fd) { ConvertInChild(stepText, scan, from, fd); }, quietSeconds,
                                              [&](std::string& bytes) { take(bytes, false); });
        take(child.bytes, true);
        if (failure) throw EIfcFile(*failure);
        if (ended && child.exitedCleanly) break;
        if (schedules.valid()) schedules.wait();
        const std::string failed = child.stalled ? "took more than " + std::to_string(quietSeconds) + " s" : "failed";
        if (!parsed) throw EIfcFile("not readable as IFC: the IFC library " + failed + " while reading it");
        if (!working) throw EIfcFile("not readable as IFC: the IFC library " + failed + " between products");
        current.reason = "geometry not converted: the IFC library " + failed + " on it";
        current.cause = IfcLeftOutCause::GeometryNotMade;
        arrived.DropPast(currentPosition);
        arrived.Add(currentPosition, std::move(current));
        if (failures + 1 >= kMaxLibraryFailures)
            throw EIfcFile("not readable as IFC: the IFC library failed on " + std::to_string(kMaxLibraryFailures) + " products");
        from = currentPosition + 1;
    }
    std::unordered_set<API_Guid, API_GuidHash> seen;
    std::vector<size_t> outOfRange; // in data.products, waiting for their GUIDs
    arrived.MoveInto(data, outOfRange, seen);
    GiveOutOfRangeGuids(data, outOfRange, seen);
    readSchedules();
    data.workSchedules = schedules.get();
    for (int id : scan.repeated) data.notes.push_back({IfcNoteKind::DuplicateRecord, "#" + std::to_string(id)});
    if (data.products.empty()) {
        if (data.skipped.empty()) throw EIfcFile("no product with body geometry");
        throw EIfcFile("no product with usable body geometry (" + std::to_string(data.skipped.size()) +
                       " left out; the first: " + data.skipped.front().reason + ")");
    }
    return data;
}

IfcBuildingData ReadIfcFile(const std::string& path, IIfcReadProgress* progress) {
    const FileBytes file(path, kMaxIfcBytes);
    try {
        IfcBuildingData data = ReadIfcText(file.Text(), progress);
        data.workSchedules.sourcePath = path;
        return data;
    } catch (const EIfcFile& e) {
        throw EIfcFile(path + ": " + e.what());
    }
}
