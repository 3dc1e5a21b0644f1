// The second 3D window: each element drawn or hidden there as the add-on set it apart from the
// model's own state, with the same camera; a view that neither undo nor the project keeps.
#include "RenderFixture.h"
#include "host/project/HostProjectFile.h"
#include "host/render/SceneKeeper.h"
#include "hostapi/HostLookRecord.h"
#include "hostapi/HostSecondView.h"
#include "hostcalls/HostInterface.h"

#include <array>

namespace {

class SecondViewTest : public RenderFixture {
protected:
    GSErr SetSecond(const Element& e, int32_t shown, int32_t material = 0, const uint8_t* look = nullptr, int32_t pen = 0) {
        return HostElementSetSecondLook(e.Bytes().data(), shown, material, pen, look);
    }
    Image Draw(SceneSide side) { return RenderWindow(host->Model(), RenderStyle::Window3D, side); }
    uint32_t Middle(const Image& i) { return i.At(i.width / 2, i.height / 2); }
};

TEST_F(SecondViewTest, TheSecondWindowDrawsEachElementAsSetThereAndTheFirstAsTheModelIs) {
    Element& wall = AddBox("FAL", {-2, 0, 0}, {2, 0.3, 2}, red);
    EXPECT_FALSE(HostSecondViewOpen());
    EXPECT_EQ(SetSecond(wall, kHostSecondHidden), kHostErrNotAvailable);
    host->SetSecondViewOpen(true);
    ASSERT_TRUE(HostSecondViewOpen());
    const Image first = Draw(SceneSide::First);
    EXPECT_EQ(Draw(SceneSide::Second).pixels, first.pixels); // nothing set: the same picture
    wall.SetLayer(hidden);
    const Image empty = Draw(SceneSide::First);
    wall.SetLayer(1);
    ASSERT_NE(Middle(first), Middle(empty));

    // Hidden in the second, drawn in the first; and the other way round, whatever its layer.
    ASSERT_EQ(SetSecond(wall, kHostSecondHidden), kHostNoError);
    EXPECT_EQ(Draw(SceneSide::Second).pixels, empty.pixels);
    EXPECT_EQ(Draw(SceneSide::First).pixels, first.pixels);
    wall.SetLayer(hidden);
    ASSERT_EQ(SetSecond(wall, kHostSecondDrawn), kHostNoError);
    EXPECT_EQ(Draw(SceneSide::Second).pixels, first.pixels);
    EXPECT_EQ(Draw(SceneSide::First).pixels, empty.pixels);
    wall.SetLayer(1);

    // A material over every face, and a look of its own: the first keeps the element's.
    ASSERT_EQ(SetSecond(wall, kHostSecondDrawn, green), kHostNoError);
    const uint32_t greened = Middle(Draw(SceneSide::Second));
    EXPECT_GT(Green(greened), Red(greened) + 30);
    EXPECT_GT(Red(Middle(Draw(SceneSide::First))), Green(Middle(Draw(SceneSide::First))) + 30);
    std::array<uint8_t, HostLook::kSize> blue{};
    blue[HostLook::kFlags] = HostLook::kColoured;
    blue[HostLook::kBlue] = 230;
    ASSERT_EQ(SetSecond(wall, kHostSecondDrawn, 0, blue.data()), kHostNoError);
    const uint32_t blued = Middle(Draw(SceneSide::Second));
    EXPECT_GT(Blue(blued), Red(blued) + 30);
    EXPECT_FALSE(wall.look);

    // The kept scene draws the second side as a scene built afresh does.
    SceneKeeper keeper;
    const Scene& kept = keeper.Update(host->Model(), {}, SceneSide::Second);
    const Image keptPicture = RenderScene(kept, host->Model().view.Camera(), 160, 120, RenderStyle::Window3D,
                                          WindowBackground(host->Model(), RenderStyle::Window3D));
    EXPECT_EQ(keptPicture.pixels, Draw(SceneSide::Second).pixels);

    // Following again: the first window's state.
    ASSERT_EQ(SetSecond(wall, kHostSecondFollow), kHostNoError);
    EXPECT_EQ(Draw(SceneSide::Second).pixels, first.pixels);
}

TEST_F(SecondViewTest, BadValuesAreRefusedAndNeitherUndoNorTheProjectKeepsASecondLook) {
    Element& wall = AddBox("FAL", {-2, 0, 0}, {2, 0.3, 2}, red);
    Element& other = AddBox("MASIK", {3, 0, 0}, {4, 0.3, 2}, red);
    const API_Guid guid = wall.Guid();
    host->SetSecondViewOpen(true);
    std::array<uint8_t, HostLook::kSize> bad{};
    bad[HostLook::kTransparency] = 101;
    bad[HostLook::kFlags] = HostLook::kColoured;
    EXPECT_EQ(SetSecond(wall, 3), kHostErrBadParameter);
    EXPECT_EQ(SetSecond(wall, -1), kHostErrBadParameter);
    EXPECT_EQ(SetSecond(wall, kHostSecondDrawn, 999), kHostErrBadParameter); // no such material
    EXPECT_EQ(SetSecond(wall, kHostSecondDrawn, -2), kHostErrBadParameter);
    EXPECT_EQ(SetSecond(wall, kHostSecondDrawn, 0, bad.data()), kHostErrBadParameter);
    EXPECT_EQ(SetSecond(wall, kHostSecondDrawn, 0, nullptr, 999), kHostErrBadParameter); // no such pen
    EXPECT_EQ(HostElementSetSecondLook(nullptr, kHostSecondHidden, 0, 0, nullptr), kHostErrBadParameter);
    EXPECT_FALSE(wall.second);

    ASSERT_EQ(HostUndoOpen("Elrejt"), kHostNoError);
    ASSERT_EQ(SetSecond(wall, kHostSecondHidden), kHostNoError);
    ASSERT_EQ(HostUndoClose(), kHostNoError);
    std::string name;
    host->Model().ApplyUndo(name); // a second look is no change of the model to take back
    ASSERT_TRUE(wall.second);
    EXPECT_TRUE(wall.second->hidden);
    const std::string text = SerializeHostProject(host->Model());
    ProjectLoadResult reopened = ParseHostProject(text, "p");
    ASSERT_TRUE(reopened.model) << reopened.error;
    EXPECT_FALSE(reopened.model->Find(guid)->second);
    EXPECT_FALSE(reopened.model->SecondViewOpen());

    // A null head with "follow" clears every element; closing forgets them all.
    ASSERT_EQ(SetSecond(other, kHostSecondHidden), kHostNoError);
    ASSERT_EQ(HostElementSetSecondLook(nullptr, kHostSecondFollow, 0, 0, nullptr), kHostNoError);
    EXPECT_FALSE(wall.second);
    EXPECT_FALSE(other.second);
    ASSERT_EQ(SetSecond(other, kHostSecondHidden), kHostNoError);
    host->SetSecondViewOpen(false);
    EXPECT_FALSE(other.second);
    EXPECT_FALSE(HostSecondViewOpen());
}

} // namespace
