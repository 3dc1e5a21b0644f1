#pragma once
// Keys of the project file the host does not know, each with its value's stored text, written
// back as they came.
#include <map>
#include <string>

using StoredKeys = std::map<std::string, std::string>;
