#pragma once
// Splits one script line into arguments: blanks separate them, "#" outside quotes starts a
// comment, and a "quoted argument" may hold blanks and the escapes \" and \\.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Returns the arguments, or nothing with `error` set for an unterminated quote or a bad escape.
std::optional<std::vector<std::string>> SplitScriptLine(const std::string& line, std::string& error);

// Quotes a text for the transcript: "..." with \" and \\ escaped.
std::string QuoteForTranscript(const std::string& utf8);
// A text as a script line would give it as one argument: bare when it can be, else quoted.
std::string ArgumentForTranscript(const std::string& utf8);

// A whole argument as a decimal integer: no blanks, no plus sign, nothing after the digits.
bool ParseScriptInt(std::string_view argument, int64_t& out);
