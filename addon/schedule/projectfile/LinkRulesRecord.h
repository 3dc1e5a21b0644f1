#pragma once
// The stored form of a schedule's link rules: the body of the project file's rules section,
// little-endian, field by field as docs/PROJECT_FILE.md gives it.
#include "schedule/tasks/LinkRules.h"

#include <cstdint>
#include <span>
#include <vector>

// "RULE" as the file holds it.
constexpr uint32_t kRulesSectionTag = 0x454C5552;

// Rules within RuleLimits; texts longer than the limits are cut.
std::vector<uint8_t> LinkRulesBytes(const LinkRules& rules);
// False unless the bytes are exactly one stored form within the limits: every key one a rule may
// name, every id at least 1, no zero byte in a text.
bool ReadLinkRulesBytes(std::span<const uint8_t> bytes, LinkRules& out);
