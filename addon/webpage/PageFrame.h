#pragma once
// The page's frame (the viewer, bundled when the add-on is built) filled with one project: its
// three markers, each standing once, replaced by the escaped title, the page data and the
// geometry.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The frame the add-on carries.
std::string_view WebPageFrame();

// `frame` with the markers replaced: the title (UTF-8) HTML-escaped, the data (JSON) made safe
// for a script element, the glTF binary in base64. Throws std::invalid_argument when a marker
// does not stand exactly once.
std::string FillPageFrame(std::string_view frame, std::string_view title, std::string_view dataJson,
                          std::span<const uint8_t> glb);
