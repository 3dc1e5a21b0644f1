#pragma once
// A schedule file read whole, as the readers that parse a document at once take it.
#include <optional>
#include <string>

// The file's bytes; nothing when it cannot be opened, read to its end, or is larger than 256 MB.
std::optional<std::string> ReadWholeFile(const std::string& path);
