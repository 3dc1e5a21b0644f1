#pragma once
// A file's whole contents in memory of their own, for a reader that goes over them more than
// once: a memory file, which the helper program maps (MemoryFile) rather than copies. The system
// copies a file's bytes into it: reading a large file into a string zeroes every byte first and
// takes its pages one fault at a time, which costs more than the reading itself.
#include <cstddef>
#include <string>
#include <string_view>

class FileBytes {
public:
    // Throws EIfcFile, its message after the path: "is a folder", "cannot be opened: ...",
    // "larger than N MB", "cannot be read: ...". A file that grows while it is read is read to
    // its end, up to `maxBytes`.
    FileBytes(const std::string& path, size_t maxBytes);
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view Text() const { return {memory_.data, size_}; }
    // The memory file holding Text() from its start.
    int MemoryFile() const { return memory_.fd; }

private:
    void CopyIn(int fd, size_t size, const std::string& path);

    // Owned apart from the object, so that a constructor that throws gives it back too.
    struct Memory {
        Memory() = default;
        Memory(const Memory&) = delete;
        Memory& operator=(const Memory&) = delete;
        ~Memory();
        // False when the system has no room.
        bool Reserve(size_t capacity);
        char* data = nullptr;
        size_t capacity = 0;
        int fd = -1;
    };

    Memory memory_;
    size_t size_ = 0;
};
