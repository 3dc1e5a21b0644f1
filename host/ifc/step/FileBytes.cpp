#include "host/ifc/step/FileBytes.h"

#include "host/ifc/step/EIfcFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Copies [from, to) of `fd` into the memory file through `into`, whose offset is `from`; where the
// copy ended.
off_t CopyRange(int into, int fd, off_t from, off_t to) {
    off_t at = from;
    while (at < to) {
        const ssize_t n = sendfile(into, fd, &at, static_cast<size_t>(to - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // shorter than it said, or no copying between these two: read it
    }
    return at;
}

// Files this large are copied in two halves at once.
constexpr size_t kCopyInTwo = size_t{16} << 20;

} // namespace

// The system copies the file into the memory file itself, taking the file's pages straight into
// the memory file's: written through the mapping, every page would first be faulted in and
// zeroed. The second half of a large file goes in at once on another core, through an opening
// of the memory file's own, which has an offset of its own. A file that changed meanwhile is
// read on from where the copy from its start ended.
void FileBytes::CopyIn(int fd, size_t size, const std::string& path) {
    const auto whole = static_cast<off_t>(size);
    const auto half = static_cast<off_t>(size >= kCopyInTwo ? RoundUp(size / 2) : size);
    Descriptor second(half < whole ? open(("/proc/self/fd/" + std::to_string(memory_.fd)).c_str(), O_WRONLY | O_CLOEXEC) : -1);
    off_t at = 0;
    if (second.Get() >= 0 && lseek(second.Get(), half, SEEK_SET) == half) {
        off_t secondAt = half;
        std::thread copier;
        try {
            copier = std::thread([&] { secondAt = CopyRange(second.Get(), fd, half, whole); });
        } catch (const std::system_error&) {
        }
        at = CopyRange(memory_.fd, fd, 0, copier.joinable() ? half : whole);
        if (copier.joinable()) {
            copier.join();
            if (at == half) at = secondAt;
        }
    } else {
        at = CopyRange(memory_.fd, fd, 0, whole);
    }
    if (lseek(fd, at, SEEK_SET) != at) throw EIfcFile(path + ": cannot be read: " + std::strerror(errno));
    size_ = static_cast<size_t>(at);
}

FileBytes::FileBytes(const std::string& path, size_t maxBytes) {
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) throw EIfcFile(path + ": cannot be opened: " + std::strerror(errno));
    struct stat about {};
    if (fstat(file.Get(), &about) != 0) throw EIfcFile(path + ": cannot be opened: " + std::strerror(errno));
    if (S_ISDIR(about.st_mode)) throw EIfcFile(path + ": is a folder");
    const std::string tooLarge = path + ": larger than " + std::to_string(maxBytes >> 20) + " MB";
    const bool sized = S_ISREG(about.st_mode) && about.st_size > 0;
    if (sized && static_cast<uint64_t>(about.st_size) > maxBytes) throw EIfcFile(tooLarge);
    auto reserve = [&](size_t capacity) {
        if (!memory_.Reserve(capacity)) throw EIfcFile(path + ": cannot be read: " + std::strerror(ENOMEM));
    };
    // One byte more than the size said, to see the end without a second buffer.
    reserve(sized ? static_cast<size_t>(about.st_size) + 1 : kHugePage);
    if (sized) CopyIn(file.Get(), static_cast<size_t>(about.st_size), path);
    while (true) {
        if (size_ == memory_.capacity) {
            if (size_ > maxBytes) throw EIfcFile(tooLarge);
            reserve(memory_.capacity * 2);
        }
        const ssize_t n = read(file.Get(), memory_.data + size_, memory_.capacity - size_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EIfcFile(path + ": cannot be read: " + std::strerror(errno));
        if (n == 0) break;
        size_ += static_cast<size_t>(n);
    }
    if (size_ > maxBytes) throw EIfcFile(tooLarge);
}

FileBytes::~FileBytes() = default;

FileBytes::Memory::~Memory() {
    if (data) munmap(data, capacity);
    if (fd >= 0) close(fd);
}

bool FileBytes::Memory::Reserve(size_t wanted) {
    const size_t rounded = RoundUp(wanted);
    if (fd < 0) fd = memfd_create("ifc-text", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(rounded)) != 0) return false;
    void* made = data ? mremap(data, capacity, rounded, MREMAP_MAYMOVE)
                      : mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (made == MAP_FAILED) return false;
    madvise(made, rounded, MADV_HUGEPAGE);
    data = static_cast<char*>(made);
    capacity = rounded;
    return true;
}
