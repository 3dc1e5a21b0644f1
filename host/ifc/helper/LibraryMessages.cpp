#include "host/ifc/helper/LibraryMessages.h"

#include "host/ifc/helper/ConversionHeap.h"
#include "host/ifc/step/WideText.h"

#include <cctype>
#include <string_view>

namespace {
// A damaged file can make the library complain about every entity; the reasons need no more.
constexpr size_t kMaxMessages = 1000;
constexpr size_t kMaxMessageBytes = 300;
constexpr size_t kMaxUnknownTypes = 1000;

// The library lists them one a line, each as "unknown IFC entity: NAME".
void CollectUnknownTypes(const std::string& text, std::set<std::string>& into) {
    static constexpr std::string_view kSaid = "unknown IFC entity: ";
    for (size_t at = text.find(kSaid); at != std::string::npos && into.size() < kMaxUnknownTypes; at = text.find(kSaid, at)) {
        at += kSaid.size();
        size_t end = at;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        std::string name = text.substr(at, end - at);
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!name.empty()) into.insert(std::move(name));
    }
}

} // namespace

void LibraryMessages::Receive(void* self, shared_ptr<StatusCallback::Message> message) {
    if (!self || !message) return;
    ConversionHeap::Pause keep; // the texts outlive the product being converted
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
    std::lock_guard<std::mutex> hold(lock_);
    CollectUnknownTypes(text, unknownTypes_);
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
