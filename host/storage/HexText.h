#pragma once
// Bytes kept in a JSON file as lower-case hexadecimal pairs.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class HexFault { None, OddLength, NotADigit };

std::string EncodeHex(std::span<const uint8_t> bytes);
// Either case of digit is read. On a fault `out` holds what was read before it.
HexFault DecodeHex(std::string_view text, std::vector<uint8_t>& out);
