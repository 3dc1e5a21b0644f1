// Where an element's body lies, as an add-on asks the host for it.
#include "HostFixture.h"

#include <array>

namespace {

class ElementBoundsTest : public HostFixture {
protected:
    static std::array<uint8_t, HostHead::kSize> Head(const Element& e, bool byIndex = false) {
        std::array<uint8_t, HostHead::kSize> head{};
        LE::Put<int32_t>(head, HostHead::kKind, e.Kind());
        LE::Put<int32_t>(head, HostHead::kIndex, e.Index());
        if (!byIndex) e.Guid().ToBytes(head.data() + HostHead::kGuid);
        return head;
    }
};

TEST_F(ElementBoundsTest, BoxMeshAndNone) {
    Element& wall = AddElement(1, "FAL-01");
    wall.geometry.shape = Geometry::Shape::Box;
    wall.geometry.min = {0, 0, 0};
    wall.geometry.max = {5, 0.3, 2.9};
    Element& roof = AddElement(9, "TET-01");
    roof.geometry.shape = Geometry::Shape::Mesh;
    roof.geometry.vertices = {{-0.5, -0.5, 5.9}, {10.5, 8.5, 5.9}, {4, 4, 8}};
    roof.geometry.triangles = {{0, 1, 2}};
    Element& line = AddElement(19, "VON-01");

    std::array<double, 6> box{};
    ASSERT_EQ(HostElementGetBounds(Head(wall).data(), box.data()), kHostNoError);
    EXPECT_EQ(box, (std::array<double, 6>{0, 0, 0, 5, 0.3, 2.9}));
    ASSERT_EQ(HostElementGetBounds(Head(roof, true).data(), box.data()), kHostNoError);
    EXPECT_EQ(box, (std::array<double, 6>{-0.5, -0.5, 5.9, 10.5, 8.5, 8}));
    EXPECT_EQ(HostElementGetBounds(Head(line).data(), box.data()), kHostErrNotAvailable);
    roof.geometry.vertices.clear();
    EXPECT_EQ(HostElementGetBounds(Head(roof).data(), box.data()), kHostErrNotAvailable);

    auto wrongKind = Head(wall);
    LE::Put<int32_t>(wrongKind, HostHead::kKind, 2);
    EXPECT_EQ(HostElementGetBounds(wrongKind.data(), box.data()), kHostErrNoElement);
    EXPECT_EQ(HostElementGetBounds(Head(wall).data(), nullptr), kHostErrBadParameter);
}

} // namespace
