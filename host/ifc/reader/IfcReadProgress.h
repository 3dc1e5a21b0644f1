#pragma once
// What a long IFC read tells whoever waits for it, and how that one stops it. The reader calls
// it from the thread that reads; an implementation hands the figures to its own thread.
#include <cstddef>
#include <stdexcept>

enum class IfcReadPhase {
    CheckingText,   // the STEP text's syntax and record table
    Converting,     // the products' geometry; done and total count products
    MakingElements, // the host's elements from the converted products
};

class IIfcReadProgress {
public:
    virtual ~IIfcReadProgress() = default;
    // `total` is 0 while not known.
    virtual void ReportPhase(IfcReadPhase phase, size_t done, size_t total) = 0;
    // Polled while the read goes on; once true, the read ends its conversion and throws
    // EIfcCancelled, changing nothing.
    virtual bool IsCancelled() const = 0;
};

// The user stopped the read; not a fault of the file.
class EIfcCancelled : public std::runtime_error {
public:
    EIfcCancelled() : std::runtime_error("cancelled") {}
};
