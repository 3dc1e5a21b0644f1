#include "host/ifc/reader/IfcReader.h"

#include "host/ifc/building/IfcGuid.h"
#include "host/ifc/building/IfcWorkSchedules.h"
#include "host/ifc/reader/HelperProcess.h"
#include "host/ifc/reader/IfcHelperProgram.h"
#include "host/ifc/reader/ProductsInFileOrder.h"
#include "host/ifc/step/FileBytes.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/StepHeader.h"
#include "host/ifc/step/StepScanBytes.h"
#include "host/ifc/stream/ConversionRecords.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <unordered_set>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The library's own faults (it follows references it never checked) end only the helper that
// met them; a product it fails on is left out and the rest converted by a new helper.
constexpr int kMaxLibraryFailures = 16;

std::atomic<unsigned> readerThreads{0};
std::atomic<bool> faceListMeshing{true};
std::atomic<int64_t> productMilliseconds{60'000};

// The text in a memory file the helper maps, when it is not in one already.
class SharedText {
public:
    SharedText(std::string_view text, int fd) : fd_(fd) {
        if (fd_ >= 0) return;
        owned_ = memfd_create("ifc-text", MFD_CLOEXEC);
        bool written = owned_ >= 0;
        for (size_t done = 0; written && done < text.size();) {
            const ssize_t n = write(owned_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            written = n > 0;
            if (written) done += static_cast<size_t>(n);
        }
        if (!written) {
            const int error = errno;
            if (owned_ >= 0) close(owned_);
            throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(error));
        }
        fd_ = owned_;
    }
    ~SharedText() {
        if (owned_ >= 0) close(owned_);
    }
    SharedText(const SharedText&) = delete;
    SharedText& operator=(const SharedText&) = delete;
    int Descriptor() const { return fd_; }

private:
    int fd_;
    int owned_ = -1;
};

// The reader's scan in a memory file the helper reads (StepScanBytes.h).
class ScanFile {
public:
    explicit ScanFile(const StepScan& scan) : fd_(memfd_create("ifc-scan", MFD_CLOEXEC)) {
        if (fd_ < 0) throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(errno));
        try {
            WriteStepScan(scan, fd_);
        } catch (...) {
            close(fd_);
            throw;
        }
        bytes_ = static_cast<size_t>(lseek(fd_, 0, SEEK_CUR));
    }
    ~ScanFile() { close(fd_); }
    ScanFile(const ScanFile&) = delete;
    ScanFile& operator=(const ScanFile&) = delete;
    int Descriptor() const { return fd_; }
    size_t Bytes() const { return bytes_; }

private:
    int fd_;
    size_t bytes_ = 0;
};

std::string Seconds(std::chrono::milliseconds time) {
    const std::string whole = std::to_string(time.count() / 1000);
    return time.count() % 1000 == 0 ? whole : whole + "." + std::to_string(time.count() % 1000 / 100);
}

HelperLaunch ConversionLaunch(size_t textBytes, int textFd, const ScanFile& scan, size_t from, std::chrono::milliseconds inner) {
    HelperLaunch launch;
    launch.argv = {IfcHelperProgram(),   "--text-fd",  std::to_string(kHelperOutputFd + 1),
                   "--text-bytes",       std::to_string(textBytes),
                   "--scan-fd",          std::to_string(kHelperOutputFd + 2),
                   "--scan-bytes",       std::to_string(scan.Bytes()),
                   "--out-fd",           std::to_string(kHelperOutputFd),
                   "--from",             std::to_string(from),
                   "--threads",          std::to_string(readerThreads.load()),
                   "--second-quiet-ms",  std::to_string(inner.count())};
    if (!faceListMeshing) launch.argv.emplace_back("--library-meshing");
    launch.inputs = {textFd, scan.Descriptor()};
    return launch;
}

// What the report calls a product: its name in quotes, or its GlobalId.
std::string Subject(const std::string& name, const std::string& globalId) { return name.empty() ? globalId : "\"" + name + "\""; }

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
        data.notes.push_back({IfcNoteKind::GlobalIdOutOfRange, Subject(p.name, p.globalId)});
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

void SetIfcReaderTimeout(std::chrono::milliseconds product) { productMilliseconds = std::max<int64_t>(1, product.count()); }

namespace {

// A product made off its fixed heap, for the report, with its place in the file.
struct OffHeapProduct {
    uint32_t position = 0;
    std::string label;
};

// `file`, when given, holds the text, and is let go of once the helper is done with it.
IfcBuildingData ReadSharedText(std::string_view stepText, int textFd, IIfcReadProgress* progress, IfcPropertiesForm properties,
                               std::unique_ptr<const FileBytes> file = nullptr) {
    auto cancelled = [progress] { return progress && progress->IsCancelled(); };
    if (progress) progress->ReportPhase(IfcReadPhase::CheckingText, 0, 0);
    IfcBuildingData data;
    data.schema = CheckStepText(stepText);
    // Held only until the helper has its copy and the work schedules are read: the helper's parse
    // is the read's largest, and a helper started again after a library fault scans anew.
    // The helper's copy is written while the scan's loops are checked.
    std::unique_ptr<ScanFile> scanFile;
    auto scan = std::make_shared<const StepScan>(
        ScanStepEntities(stepText, [&](const StepScan& made) { scanFile = std::make_unique<ScanFile>(made); }));
    if (cancelled()) throw EIfcCancelled();
    const SharedText text(stepText, textFd);

    // The second process is taken for hung first: the helper as a whole waits for it that long
    // without a word, so the helper's own time is twice as long, and the parse before the first
    // product gets a second more for every 10 MB.
    const std::chrono::milliseconds inner(productMilliseconds.load());
    const std::chrono::milliseconds quiet = 2 * inner + std::chrono::seconds(stepText.size() / 10'000'000);
    ProductsInFileOrder arrived;
    size_t mayBeProducts = 0;
    for (uint32_t position = 0; position < scan->ids.size(); ++position) mayBeProducts += scan->MayBeProduct(position);
    const std::vector<int> repeated = scan->repeated;
    arrived.Reserve(mayBeProducts);
    size_t converted = 0, total = 0;
    std::vector<OffHeapProduct> offHeap;
    if (progress) progress->ReportPhase(IfcReadPhase::Converting, 0, 0);
    // The work schedules are read while the helper parses.
    std::future<ModelWorkSchedules> schedules =
        std::async(std::launch::async, [&, held = scan]() mutable {
            // Let go once read: the call's state outlives the call.
            const std::shared_ptr<const StepScan> mine = std::move(held);
            return ReadIfcWorkSchedules(stepText, *mine, data.schema);
        });
    size_t from = 0;
    for (int failures = 0;; ++failures) {
        bool headed = false, parsed = false, ended = false, working = false;
        std::optional<std::string> failure;
        // The helper takes this scan of the text rather than making its own; once its stream
        // begins, it has.
        if (!scanFile) {
            if (!scan) scan = std::make_shared<const StepScan>(ScanStepEntities(stepText));
            scanFile = std::make_unique<ScanFile>(*scan);
        }
        scan.reset();
        IfcSkippedProduct current;
        uint32_t currentPosition = 0;
        // The records are taken as they come, while the helper works, rather than all its output
        // held first; one cut short is tried again once twice its bytes wait.
        size_t retryAt = 0;
        auto take = [&](std::string& bytes, bool last) {
            if (!last && bytes.size() < retryAt) return;
            std::string_view rest = bytes;
            if (!headed) {
                const StreamRead header = ReadStreamHeader(rest);
                if (header == StreamRead::Malformed)
                    throw EIfcFile("cannot convert: " + IfcHelperProgram() + " is not the reader's own version");
                if (header == StreamRead::Short) return;
                headed = true;
                scanFile.reset();
            }
            ConversionRecord record;
            StreamRead read = StreamRead::Short;
            while (!failure && (read = ReadStreamRecord(rest, record, properties)) == StreamRead::Whole) {
                switch (record.kind) {
                case RecordKind::Parsed:
                    parsed = true;
                    // The scan's count takes in every record that might be a product; the helper
                    // knows which are. A helper started after a fault counts from its place on.
                    total = converted + record.products;
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
                case RecordKind::OffHeap:
                    offHeap.push_back({currentPosition, Subject(current.name, current.globalId)});
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
            // Bytes no helper of this version writes: nothing more of its stream can be trusted.
            if (read == StreamRead::Malformed) throw EIfcFile("not readable as IFC: the IFC conversion sent a malformed record");
            bytes.erase(0, bytes.size() - rest.size());
            retryAt = 2 * bytes.size();
            if (progress) progress->ReportPhase(IfcReadPhase::Converting, std::min(converted, total), total);
        };
        // Thrown from here, the helper is ended before the read unwinds.
        auto poll = [&] {
            if (cancelled()) throw EIfcCancelled();
        };
        ChildOutput child = RunHelper(ConversionLaunch(stepText.size(), text.Descriptor(), *scanFile, from, inner), quiet,
                                      [&](std::string& bytes) { take(bytes, false); }, poll);
        take(child.bytes, true);
        if (failure) throw EIfcFile(*failure);
        if (ended && child.exitedCleanly) break;
        // Not even its header: the program did not run as a helper (a library of its missing).
        if (!headed) throw EIfcFile("cannot start the IFC conversion: " + IfcHelperProgram() + " ended before it began");
        const std::string failed = child.stalled ? "took more than " + Seconds(quiet) + " s" : "failed";
        if (!parsed) throw EIfcFile("not readable as IFC: the IFC library " + failed + " while reading it");
        if (!working) throw EIfcFile("not readable as IFC: the IFC library " + failed + " between products");
        current.reason = "geometry not converted: the IFC library " + failed + " on it";
        current.cause = IfcLeftOutCause::GeometryNotMade;
        arrived.DropPast(currentPosition);
        std::erase_if(offHeap, [&](const OffHeapProduct& o) { return o.position >= currentPosition; });
        arrived.Add(currentPosition, std::move(current));
        if (failures + 1 >= kMaxLibraryFailures)
            throw EIfcFile("not readable as IFC: the IFC library failed on " + std::to_string(kMaxLibraryFailures) + " products");
        from = currentPosition + 1;
    }
    data.workSchedules = schedules.get();
    // A large text's pages go back to the system while the products are put in order.
    std::future<void> textGone;
    if (file) {
        try {
            textGone = std::async(std::launch::async, [gone = std::move(file)]() mutable { gone.reset(); });
        } catch (const std::system_error&) {
            file.reset();
        }
    }
    std::unordered_set<API_Guid, API_GuidHash> seen;
    std::vector<size_t> outOfRange; // in data.products, waiting for their GUIDs
    arrived.MoveInto(data, outOfRange, seen);
    GiveOutOfRangeGuids(data, outOfRange, seen);
    for (int id : repeated) data.notes.push_back({IfcNoteKind::DuplicateRecord, "#" + std::to_string(id)});
    std::sort(offHeap.begin(), offHeap.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
    for (auto& o : offHeap) data.notes.push_back({IfcNoteKind::OffFixedHeap, std::move(o.label)});
    if (data.products.empty()) {
        if (data.skipped.empty()) throw EIfcFile("no product with body geometry");
        throw EIfcFile("no product with usable body geometry (" + std::to_string(data.skipped.size()) +
                       " left out; the first: " + data.skipped.front().reason + ")");
    }
    return data;
}

} // namespace

IfcBuildingData ReadIfcText(std::string_view stepText, IIfcReadProgress* progress, IfcPropertiesForm properties) {
    return ReadSharedText(stepText, -1, progress, properties);
}

IfcBuildingData ReadIfcFile(const std::string& path, IIfcReadProgress* progress, IfcPropertiesForm properties) {
    // A federated model of a large site runs past a gigabyte; the only bound is the record table's.
    auto file = std::make_unique<const FileBytes>(path, kMaxStepTextBytes);
    try {
        const std::string_view text = file->Text();
        const int fd = file->MemoryFile();
        IfcBuildingData data = ReadSharedText(text, fd, progress, properties, std::move(file));
        data.workSchedules.sourcePath = path;
        return data;
    } catch (const EIfcFile& e) {
        throw EIfcFile(path + ": " + e.what());
    }
}
