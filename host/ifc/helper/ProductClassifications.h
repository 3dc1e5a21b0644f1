#pragma once
// The classification references of a product and of its type, each as one text:
// "SYSTEM: IDENTIFICATION NAME" with the parts the file gives ("Uniclass 2015: EF_25_10 Walls",
// "23.21.00"), or the classification system's name when the product names only that.
#include <string>
#include <vector>

class IfcProduct;

// UTF-8, each once, the product's own first.
std::vector<std::string> ClassificationsOf(const IfcProduct& product);
