#pragma once
#include <stdexcept>

// A file the reader cannot use at all: not IFC, truncated, a syntax error, a product that needs a
// record the file does not have, an unknown schema, no products.
class EIfcFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
