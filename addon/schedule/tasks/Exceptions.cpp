#include "schedule/tasks/Exceptions.h"

#include "bytes/FixedText.h"

#include <cstring>

EAddon::EAddon(const char* sourceName, int line) : line_(line) {
    BKCopyText(source_, sourceName ? sourceName : "");
}

EAddon& EAddon::Append(std::string_view text) {
    size_t used = std::strlen(message_);
    BKCopyText(message_ + used, kMessageSize - used, text);
    return *this;
}
