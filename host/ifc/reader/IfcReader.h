#pragma once
// Reads an IFC file (IFC2X3 or IFC4, STEP text) into the host's plain building data: one entry
// per product with body geometry, meshes in metres in world coordinates, in file order. The file
// is all or nothing: a syntax error anywhere, or a product whose placement or representation
// needs a record the file does not have, is an EIfcFile naming the record. A product the IFC
// library fails on is left out with its cause and reason.
// The library parses and converts in the helper program quorvel-ifc (IfcHelperProgram.h), which
// the reader supervises: its faults and its prints stay there. A product made off the helper's
// fixed heap is an IfcNote of its own.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/reader/IfcReadProgress.h"

#include <chrono>
#include <string>
#include <string_view>

// EIfcFile's message begins with the path, like the host's other file errors.
// `progress`, when given, hears the phases and may cancel (EIfcCancelled). `properties`: the form of
// the products' properties (IfcPackedProperties.h); packed, a large file's products take a
// fraction of the memory while they wait for their turns.
IfcBuildingData ReadIfcFile(const std::string& path, IIfcReadProgress* progress = nullptr,
                            IfcPropertiesForm properties = IfcPropertiesForm::Listed);
IfcBuildingData ReadIfcText(std::string_view stepText, IIfcReadProgress* progress = nullptr,
                            IfcPropertiesForm properties = IfcPropertiesForm::Listed);
// At most this many threads, and one process instead of two when 1; 0, the default, for as many
// as the machine has cores.
void SetIfcReaderThreads(unsigned threads);
// Whether bodies of face lists are meshed without the library's mesh sets (FaceListMesh.h), as
// by default; off, the library meshes every body, as the tests compare.
void SetIfcFaceListMeshing(bool direct);
// How long the helper's second process may work on a product without a word before it is taken
// for hung (60 s by default); the helper as a whole gets twice that, and a second more for every
// 10 MB of the file, so that a hang of the second leaves out its product rather than the file.
void SetIfcReaderTimeout(std::chrono::milliseconds product);
