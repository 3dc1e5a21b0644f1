#pragma once
// The helper's work on one file: the IFC library parses the text and converts its products from
// the place `from` on, each product's records written to `fd` as the record stream
// (host/ifc/stream/ConversionRecords.h) after its header. A file of many products is converted
// by two processes, each taking half; every product is made on a heap of its own
// (ConversionHeap.h), so the model is the same bytes on any count.
#include "host/ifc/helper/HelperFault.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstddef>
#include <string_view>

struct ConversionOptions {
    unsigned threads = 0;        // 0 for as many as the machine has cores; 1 for one process
    bool faceListMeshing = true; // FaceListMesh.h, or the library's meshing of every body
    bool recordMeshing = true;   // RecordBodyMesh.h first, for the bodies it makes
    bool reuseItems = true;      // items of the records that say the same made once (ReusedItems.h)
    // The second process is taken for hung after this long without a product, which the reader
    // must wait out before it takes the whole helper for hung.
    int secondQuietMilliseconds = 60'000;
    HelperFault fault;
};

// `scan` is the reader's of the same text.
void ConvertFile(std::string_view stepText, const StepScan& scan, size_t from, int fd, const ConversionOptions& options);
