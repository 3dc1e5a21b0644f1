#include "filekit/FKFileDialog.h"
#include "filekit/FKSpecialFolders.h"
#include "hostcalls/FileDialogs.h"
#include "TestSupport.h"

namespace {

class FileDialogsTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        FKResetFileDialogs();
    }
    void TearDown() override {
        FKResetFileDialogs();
        FixedClockTest::TearDown();
    }
    static const FKFileDialogRecord& Last() { return FKShownFileDialogs().back(); }
};

TEST_F(FileDialogsTest, OpenOffersFiveKindsFromTheDefaultFolder) {
    FKQueueFileDialogAnswer({false, "/tmp/terv.txt", 1});
    FileDialogRequest request(1, {}, 0);
    EXPECT_EQ(request.chosenKind, 1);
    ASSERT_TRUE(AskOpenFile(request));
    const auto& r = Last();
    EXPECT_EQ(r.kind, FKFileDialogKind::Open);
    EXPECT_EQ(r.title, Cp("Bauvista projekt importálása"));
    ASSERT_EQ(r.filters.size(), 5u);
    EXPECT_EQ(r.filters[0].name, Cp("Bauvista projekt fájlok"));
    EXPECT_EQ(r.filters[0].extensions, std::vector<std::string>{"csp"});
    EXPECT_EQ(r.filters[1].name, Cp("Microsoft Project exportált tevékenységek"));
    EXPECT_EQ(r.filters[1].extensions, std::vector<std::string>{"txt"});
    EXPECT_EQ(r.filters[2].name, Cp("Microsoft Project XML tevékenységek"));
    EXPECT_EQ(r.filters[2].extensions, std::vector<std::string>{"xml"});
    EXPECT_EQ(r.filters[3].name, Cp("Primavera P6 XER tevékenységek"));
    EXPECT_EQ(r.filters[3].extensions, std::vector<std::string>{"xer"});
    EXPECT_EQ(r.filters[4].name, Cp("Primavera P6 XML tevékenységek"));
    EXPECT_EQ(r.filters[4].extensions, std::vector<std::string>{"xml"});
    EXPECT_EQ(r.preselectedFilter, 0);
    FKLocation documents;
    ASSERT_EQ(FKGetSpecialFolder(FKSpecialFolder::Documents, documents), 0);
    EXPECT_EQ(r.startFolder, documents);
    EXPECT_EQ(request.chosenKind, 1);
    EXPECT_EQ(ChosenPath(request), "/tmp/terv.txt");

    // The registry is the request's, made once.
    ASSERT_NE(request.FileTypes(), nullptr);
    EXPECT_EQ(request.FileTypes()->Name(), "BVFTM");
    auto types = request.FileTypes()->TypesOf(1);
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].creator, "VTQV");
    EXPECT_EQ(types[0].typeCode, "BIN ");
    EXPECT_EQ(request.FileTypes()->TypesOf(2)[0].typeCode, "TEXT");
    EXPECT_EQ(request.FileTypes()->TypesOf(3)[0].extension, "xml");
}

TEST_F(FileDialogsTest, SaveStartsAtThePathWithItsKindPreselected) {
    FKQueueFileDialogAnswer({false, "/tmp/más", std::nullopt});
    FileDialogRequest request(2, Cp("/tmp/Új terv.txt"), 1);
    ASSERT_TRUE(AskSaveFile(request));
    const auto& r = Last();
    EXPECT_EQ(r.kind, FKFileDialogKind::Save);
    EXPECT_EQ(r.title, Cp("Bauvista projekt exportálása"));
    ASSERT_EQ(r.filters.size(), 3u); // P6's forms are only read
    EXPECT_EQ(r.filters[2].name, Cp("Microsoft Project XML tevékenységek"));
    EXPECT_EQ(r.preselectedFilter, 1);
    EXPECT_EQ(r.startFolder.NativePath(), "/tmp");
    EXPECT_EQ(r.startName, "Új terv.txt");
    // The text filter stayed selected, so the name gets its extension.
    EXPECT_EQ(request.chosenKind, 1);
    EXPECT_EQ(ChosenPath(request), Cp("/tmp/más.txt"));
}

TEST_F(FileDialogsTest, SaveOffersMicrosoftProjectXmlAndNoKindItDoesNotOffer) {
    for (auto [start, preselected] : {std::pair{2, 2}, std::pair{3, 0}, std::pair{-1, 0}}) {
        FKQueueFileDialogAnswer({false, "/tmp/terv", std::nullopt});
        FileDialogRequest request(2, "/tmp/terv.xml", static_cast<int16_t>(start));
        ASSERT_TRUE(AskSaveFile(request));
        EXPECT_EQ(Last().preselectedFilter, preselected) << start;
        EXPECT_EQ(request.chosenKind, preselected);
    }
}

TEST_F(FileDialogsTest, CancelLeavesTheChoiceAsItWas) {
    FKQueueFileDialogAnswer({true, "", std::nullopt});
    FileDialogRequest request(2, "", 0);
    EXPECT_FALSE(AskSaveFile(request));
    EXPECT_FALSE(request.chosenLocation.IsValid());
    EXPECT_EQ(request.chosenKind, 1);
    EXPECT_EQ(ChosenPath(request), "");
}

TEST_F(FileDialogsTest, APathTheCodePageCannotHoldIsNoPath) {
    FKQueueFileDialogAnswer({false, "/tmp/\xe6\x96\x87.csp", 0}); // a CJK letter
    FKQueueFileDialogAnswer({false, "/tmp/" + std::string(300, 'a') + ".csp", 0});
    FKQueueFileDialogAnswer({false, "/tmp/" + std::string(251, 'a') + ".csp", 0}); // 260 bytes
    for (size_t expectedSize : {0, 0, 260}) {
        FileDialogRequest request(1, {}, 0);
        ASSERT_TRUE(AskOpenFile(request));
        EXPECT_EQ(ChosenPath(request).size(), expectedSize);
    }
}

TEST_F(FileDialogsTest, MovieDialogOffersOneKindNamedByTheTitle) {
    FileDialogRequest request(3, {}, 0);
    EXPECT_FALSE(AskMovieFile(request, nullptr, "avi"));
    EXPECT_TRUE(FKShownFileDialogs().empty());

    FKQueueFileDialogAnswer({false, "/tmp/film", std::nullopt});
    FKLocation location = FKLocation::FromPath8(Cp("/tmp/Új terv"));
    ASSERT_TRUE(AskMovieFile(request, &location, "avi"));
    EXPECT_EQ(location.NativePath(), "/tmp/film.avi");
    const auto& r = Last();
    EXPECT_EQ(r.kind, FKFileDialogKind::Movie);
    EXPECT_EQ(r.title, "");
    EXPECT_EQ(r.flags, 11u);
    ASSERT_EQ(r.filters.size(), 1u);
    EXPECT_EQ(r.filters[0].name, Cp("Film készítés"));
    EXPECT_EQ(r.filters[0].extensions, std::vector<std::string>{"avi"});
    EXPECT_EQ(r.startName, "Új terv");

    FKQueueFileDialogAnswer({true, "", std::nullopt});
    EXPECT_FALSE(AskMovieFile(request, &location, "mov"));
    EXPECT_EQ(location.NativePath(), "/tmp/film.avi");
    // The kind's extension: another kind's replaced, its own kept in any case, others kept.
    for (auto [typed, expected] : {std::pair{"/tmp/film.mov", "/tmp/film.avi"}, std::pair{"/tmp/FILM.AVI", "/tmp/FILM.AVI"},
                                   std::pair{"/tmp/terv.v2", "/tmp/terv.v2.avi"}}) {
        FKQueueFileDialogAnswer({false, typed, std::nullopt});
        ASSERT_TRUE(AskMovieFile(request, &location, "avi"));
        EXPECT_EQ(location.NativePath(), expected);
    }
}

} // namespace
