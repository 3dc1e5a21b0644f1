#include "host/ifc/helper/HelperFault.h"

#include <charconv>

std::optional<HelperFault> HelperFault::FromText(std::string_view text) {
    HelperFault fault;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view kind = text.substr(0, colon);
    if (kind == "crash") fault.kind = HelperFaultKind::Crash;
    else if (kind == "hang") fault.kind = HelperFaultKind::Hang;
    else if (kind == "short") fault.kind = HelperFaultKind::Short;
    else if (kind == "full") fault.kind = HelperFaultKind::Full;
    else if (kind == "offheap") fault.kind = HelperFaultKind::OffHeap;
    else return std::nullopt;
    std::string_view rest = text.substr(colon + 1);
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), fault.product);
    if (error != std::errc() || end == rest.data()) return std::nullopt;
    rest.remove_prefix(static_cast<size_t>(end - rest.data()));
    if (rest.empty()) return fault;
    if (rest == ":first") fault.share = 1;
    else if (rest == ":second") fault.share = 2;
    else return std::nullopt;
    return fault;
}
