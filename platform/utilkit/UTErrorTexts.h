#pragma once
// The texts of the kit's error numbers and of the system error categories it knows.
#include <cstdint>
#include <string>

std::string UTErrorNumberText(int32_t errorNumber);
std::string UTSystemErrorText(int32_t category, int32_t code);
