#include "host/ifc/building/IdTextNamer.h"

#include "hostapi/HostElementRecord.h"

#include <cctype>

std::string IdTextNamer::Fitted(const std::string& base, const std::string& suffix) {
    constexpr size_t kRoom = HostElement::kIdTextSize - 1;
    std::string head = base.substr(0, kRoom > suffix.size() ? kRoom - suffix.size() : 0);
    // A cut name would otherwise end in a blank before the number.
    while (!suffix.empty() && !head.empty() && head.back() == ' ') head.pop_back();
    return head + suffix;
}

std::string IdTextNamer::Next(const std::string& base) {
    std::string id = Fitted(base, "");
    if (taken_.insert(id).second) return id;
    long& n = nextNumber_[base];
    if (n < 2) n = 2;
    for (;; ++n) {
        id = Fitted(base, " (" + std::to_string(n) + ")");
        if (taken_.insert(id).second) {
            ++n;
            return id;
        }
    }
}

bool IdTextNamer::IsFormOf(const std::string& idText, const std::string& base) {
    if (idText == Fitted(base, "")) return true;
    if (idText.size() < 4 || idText.back() != ')') return false;
    size_t open = idText.rfind(" (");
    if (open == std::string::npos) return false;
    std::string digits = idText.substr(open + 2, idText.size() - open - 3);
    if (digits.empty() || digits.size() > 9 || digits[0] == '0') return false;
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return std::stol(digits) >= 2 && idText == Fitted(base, " (" + digits + ")");
}
