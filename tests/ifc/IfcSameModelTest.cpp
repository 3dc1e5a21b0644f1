// The same IFC file gives the same model, byte for byte, on every read: walls with openings
// (the library's Boolean operations) in a real Revit file and in the house's revision, read
// again and again from a process whose own memory is laid out differently each time, and read
// by one process or two with any number of threads.
#include "HostFixture.h"
#include "host/HostTestFiles.h"

#include "host/ifc/reader/IfcReader.h"

#include <memory>

namespace {

class IfcSameModel : public HostFixture {
protected:
    // The host project saved from the opened file, as bytes.
    std::string OpenedAndSaved(const std::string& file) {
        std::string error;
        EXPECT_TRUE(host->OpenProject(SourceFile("tests/data/ifc/" + file), error)) << error;
        const std::string path = folder.Path("saved.qvp");
        EXPECT_TRUE(host->SaveProject(path, error)) << error;
        return ReadWholeFile(path);
    }
    TempFolder folder;
};

} // namespace

TEST_F(IfcSameModel, EveryReadOfAFileSavesTheSameBytes) {
    for (const char* file : {"duplex.ifc", "IfcOpenHouse_rev2.ifc"}) {
        SCOPED_TRACE(file);
        const std::string first = OpenedAndSaved(file);
        ASSERT_GT(first.size(), 1000u);
        std::vector<std::unique_ptr<char[]>> held;
        for (int read = 1; read < 4; ++read) {
            // The reader's process forks from this one: move everything it would inherit.
            for (int i = 0; i < 200 * read; ++i) held.push_back(std::make_unique<char[]>(static_cast<size_t>(16 + (i * 7919) % 4096)));
            EXPECT_TRUE(OpenedAndSaved(file) == first) << "read " << read;
        }
    }
}

TEST_F(IfcSameModel, OneProcessOrTwoAndAnyThreadsSaveTheSameBytes) {
    for (const char* file : {"duplex.ifc", "MULTICOM-Prefab.ifc"}) {
        SCOPED_TRACE(file);
        SetIfcReaderThreads(1);
        const std::string alone = OpenedAndSaved(file);
        for (unsigned threads : {2u, 3u, 0u}) {
            SetIfcReaderThreads(threads);
            EXPECT_TRUE(OpenedAndSaved(file) == alone) << threads << " threads";
        }
    }
    SetIfcReaderThreads(0);
}
