// A file read whole, from any source, with what is wrong said the reader's way.
#include "host/ifc/step/FileBytes.h"

#include "host/HostTestFiles.h"
#include "host/ifc/building/IfcBuildingData.h"

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
    return bytes;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ErrorOf(const std::string& path, size_t maxBytes) {
    try {
        FileBytes bytes(path, maxBytes);
    } catch (const EIfcFile& e) {
        return e.what();
    }
    return "no error";
}

constexpr size_t kMB = size_t{1} << 20;

TEST(FileBytes, ReadsEveryByteOfFilesAroundItsPageSize) {
    TempFolder folder;
    // Past 16 MB a file is read in two halves at once.
    for (size_t size : {size_t{0}, size_t{1}, 2 * kMB - 1, 2 * kMB, 2 * kMB + 1, 5 * kMB + 3, 16 * kMB, 37 * kMB + 5}) {
        const std::string path = folder.Path("f" + std::to_string(size));
        Write(path, Pattern(size));
        FileBytes bytes(path, 64 * kMB);
        ASSERT_EQ(bytes.Text().size(), size);
        EXPECT_TRUE(bytes.Text() == Pattern(size)) << size;
    }
}

// A pipe has no size: the reading grows its memory to the end, and stops past the largest.
TEST(FileBytes, ReadsAPipeToItsEndAndRefusesOneTooLong) {
    TempFolder folder;
    const std::string path = folder.Path("fifo");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    auto feed = [&path](size_t size) {
        return std::thread([&path, size] {
            const int fd = open(path.c_str(), O_WRONLY);
            const std::string bytes = Pattern(size);
            for (size_t done = 0; fd >= 0 && done < bytes.size();) {
                const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
                if (n <= 0) break; // the reader stopped
                done += static_cast<size_t>(n);
            }
            if (fd >= 0) close(fd);
        });
    };
    signal(SIGPIPE, SIG_IGN); // the writer of the one refused finds no reader
    std::thread writer = feed(7 * kMB + 5);
    {
        FileBytes bytes(path, 64 * kMB);
        EXPECT_TRUE(bytes.Text() == Pattern(7 * kMB + 5));
    }
    writer.join();
    writer = feed(5 * kMB);
    EXPECT_EQ(ErrorOf(path, 3 * kMB), path + ": larger than 3 MB");
    writer.join();
}

TEST(FileBytes, SaysWhatIsWrong) {
    TempFolder folder;
    EXPECT_EQ(ErrorOf(folder.Path("missing.ifc"), kMB), folder.Path("missing.ifc") + ": cannot be opened: No such file or directory");
    EXPECT_EQ(ErrorOf(folder.Root().string(), kMB), folder.Root().string() + ": is a folder");
    const std::string large = folder.Path("large.ifc");
    Write(large, Pattern(kMB + 1));
    EXPECT_EQ(ErrorOf(large, kMB), large + ": larger than 1 MB");
    Write(large, Pattern(kMB));
    EXPECT_EQ(ErrorOf(large, kMB), "no error");
}

} // namespace
