#pragma once
// The library part files the host reads ("*.vtm"): UTF-8 JSON, at most 64 KiB.
//
//   {
//     "format": "QVLP", "version": 1,
//     "name": "BV felirat",                 part name, 1 to 255 UTF-16 units
//     "id": "{...}",                        unique identifier, 1 to 127 printable ASCII characters
//     "variation": "Capt",                  optional: the object type (four characters) it belongs to
//     "template": false,                    optional: the type's template part
//     "parameters": [                       at most 64; names 1 to 31 ASCII characters, each once
//       {"name": "qv_datestring", "text": "..."},      a text of at most 255 UTF-16 units
//       {"name": "textsize", "number": 0.03}           a finite number
//     ],
//     "label": {                            optional: what the part draws onto a picture
//       "text": "qv_datestring",            the text parameter drawn
//       "size": "textsize",                 number parameter: text height as a share of the picture width
//       "proportion": "qv_sidepropotion",   number parameter: height / width of the frame laid out in
//       "anchor": "bottom-right",           top-left, top-right, bottom-left or bottom-right
//       "margin": 0.02,                     share of the picture width, 0 to 0.5
//       "padding": 0.35,                    share of the text height, 0 to 2
//       "ink": [0, 0, 0], "box": [1, 1, 1], colours 0-1
//       "boxOpacity": 0.8                   0 to 1
//     }
//   }
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct LabelStyle {
    std::string textParam, sizeParam, proportionParam;
    bool right = true, bottom = true;
    double margin = 0.02, padding = 0.35;
    double ink[3] = {0, 0, 0};
    double box[3] = {1, 1, 1};
    double boxOpacity = 0.8;
};

struct LibPartDefinition {
    std::u16string name;
    std::string uniqueId;
    uint32_t variation = 0;
    bool isTemplate = false;
    std::vector<uint8_t> params; // 1080-byte parameter records, in file order
    std::optional<LabelStyle> label;
};

constexpr size_t kMaxLibPartFile = 64 * 1024;

std::optional<LibPartDefinition> ParseLibPartFile(std::span<const uint8_t> bytes, std::string& error);

// Parameter records.
std::vector<uint8_t> MakeTextParam(const std::string& name, const std::u16string& value);
std::vector<uint8_t> MakeNumberParam(const std::string& name, double value);
// The record of a named parameter in a block of records; none when absent.
std::optional<size_t> FindParam(std::span<const uint8_t> params, const std::string& name);
std::u16string ParamText(std::span<const uint8_t> params, size_t offset);
double ParamNumber(std::span<const uint8_t> params, size_t offset);
int32_t ParamType(std::span<const uint8_t> params, size_t offset);
std::u16string Utf8ToUtf16(const std::string& utf8, bool& ok);
