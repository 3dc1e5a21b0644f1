#pragma once
// The host's preference store: one file with each add-on's record under its name, with its
// version and size. Every write replaces the file atomically (FileKit's replacement file).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class PreferenceStore {
public:
    struct Entry {
        int32_t version = 0;
        std::vector<uint8_t> bytes;
    };

    // An empty path keeps the store in memory only.
    explicit PreferenceStore(std::string path = {});

    // Loads the file; a missing file is an empty store. False when something was wrong, `error`
    // says what: a damaged record is skipped (and written back unchanged) while the others load;
    // a file that is no store at all is renamed to PATH.bad, so the next write loses nothing.
    bool Load(std::string& error);
    // Writes the whole store; false when the file could not be replaced (the old one is kept).
    bool Save(std::string& error) const;

    std::optional<Entry> Read(const std::string& addon) const;
    bool Write(const std::string& addon, int32_t version, std::vector<uint8_t> bytes, std::string& error);
    // Forgets every add-on's record (the host's "reset preferences").
    bool Reset(std::string& error);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    void SetAside(std::string& error);

    std::map<std::string, Entry> entries_;
    std::map<std::string, std::string> damaged_; // name -> the record's JSON text as found
};
