#include "host/ifc/LibraryMessages.h"

#include "host/ifc/WideText.h"

namespace {
// A damaged file can make the library complain about every entity; the reasons need no more.
constexpr size_t kMaxMessages = 1000;
constexpr size_t kMaxMessageBytes = 300;
} // namespace

void LibraryMessages::Receive(void* self, shared_ptr<StatusCallback::Message> message) {
    if (!self || !message) return;
    switch (message->m_message_type) {
    case StatusCallback::MESSAGE_TYPE_MINOR_WARNING:
    case StatusCallback::MESSAGE_TYPE_WARNING:
    case StatusCallback::MESSAGE_TYPE_ERROR:
        static_cast<LibraryMessages*>(self)->Add(Utf8FromWide(message->m_message_text));
        break;
    default:
        break;
    }
}

void LibraryMessages::Add(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty() || texts_.size() >= kMaxMessages) return;
    if (text.size() > kMaxMessageBytes) {
        size_t cut = kMaxMessageBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
        text += "...";
    }
    if (!seen_.insert(text).second) return;
    texts_.push_back(std::move(text));
}

std::string LibraryMessages::Since(size_t from) const {
    std::string joined;
    for (size_t i = from; i < texts_.size(); ++i) {
        if (!joined.empty()) joined += "; ";
        joined += texts_[i];
    }
    return joined;
}
