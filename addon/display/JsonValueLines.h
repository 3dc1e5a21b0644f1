#pragma once
// Where each value of a JSON text starts, so a refusal can name the line to look at rather than
// a byte or a place only a programmer reads.
#include <map>
#include <string>
#include <string_view>

// The line (from 1) of every value by its JSON pointer ("" the whole text, "/profiles/0/name").
// Keys are taken as written, escapes and all. Meant for a text a JSON parser accepted; stops at
// whatever it does not understand.
std::map<std::string, int> JsonValueLines(std::string_view text);

// The line of the value at `pointer`, or of the nearest value holding it.
int LineOf(const std::map<std::string, int>& lines, std::string pointer);
