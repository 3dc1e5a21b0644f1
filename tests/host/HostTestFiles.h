#pragma once
// Files for host tests: a fresh folder per test, removed afterwards, and whole-file reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

class TempFolder {
public:
    TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("bv_") + (test ? test->name() : "host") + "_" + std::to_string(getpid());
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& file) const { return (path_ / file).string(); }
    const std::filesystem::path& Root() const { return path_; }
    size_t EntryCount() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}


inline std::string SourceFile(const std::string& relative) {
    const char* root = std::getenv("BV_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}
