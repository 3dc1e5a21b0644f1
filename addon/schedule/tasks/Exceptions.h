#pragma once
// The add-on's exceptions. Each carries where it was thrown and a bounded message.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

class EAddon : public std::exception {
public:
    static constexpr size_t kMessageSize = 1024;

    EAddon(const char* sourceName, int line);
    const char* what() const noexcept override { return "EAddon"; }

    // Appends to the message; appending stops at the buffer's end.
    EAddon& Append(std::string_view text);
    const char* Message() const { return message_; }
    const char* SourceName() const { return source_; }
    int Line() const { return line_; }

private:
    char source_[64] = {};
    int line_ = 0;
    char message_[kMessageSize] = {};
};

class ETaskNotFound : public EAddon {
public:
    explicit ETaskNotFound(int line) : EAddon("DB", line) {}
    const char* what() const noexcept override { return "ETaskNotFound"; }
};

class EElementHider : public EAddon {
public:
    static constexpr int16_t kNoLinkRecord = 220;

    explicit EElementHider(int line, int16_t code = 0, int32_t hostError = 0)
        : EAddon("ElementHider", line), code_(code), hostError_(hostError) {}
    const char* what() const noexcept override { return "EElementHider"; }
    int16_t Code() const { return code_; }
    // The host's answer that caused it, 0 when none.
    int32_t HostError() const { return hostError_; }

private:
    int16_t code_;
    int32_t hostError_;
};
