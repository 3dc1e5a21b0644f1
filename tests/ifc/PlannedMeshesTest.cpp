// Planned meshes come back as they went in, in file order only; given back from either end,
// only whole mappings whose products are all past go, and shares join in order.
#include "host/ifc/helper/PlannedMeshes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A mesh of `size` triangles whose numbers say which product it is.
ProductMesh MeshOf(uint32_t product, size_t size) {
    ProductMesh mesh;
    for (size_t i = 0; i < size + 2; ++i) mesh.vertices.push_back({product + 0.25, static_cast<double>(i), -1.5e-9 * static_cast<double>(i)});
    for (size_t i = 0; i < size; ++i) mesh.triangles.push_back({static_cast<int32_t>(i), static_cast<int32_t>(i + 1), static_cast<int32_t>(i + 2)});
    return mesh;
}

void ExpectSame(const ProductMesh& a, const ProductMesh& b) {
    EXPECT_EQ(a.vertices, b.vertices);
    EXPECT_EQ(a.triangles, b.triangles);
}

} // namespace

TEST(PlannedMeshes, GiveBackEveryMeshAsAddedAndRefuseOneOutOfOrder) {
    PlannedMeshes meshes;
    EXPECT_FALSE(meshes.Copy(0));
    ASSERT_TRUE(meshes.Add(3, MeshOf(3, 1)));
    ASSERT_TRUE(meshes.Add(7, ProductMesh{}));
    // A mesh larger than a mapping takes one of its own.
    ASSERT_TRUE(meshes.Add(9, MeshOf(9, 300'000)));
    ASSERT_TRUE(meshes.Add(12, MeshOf(12, 5)));
    EXPECT_FALSE(meshes.Add(12, MeshOf(12, 5)));
    EXPECT_FALSE(meshes.Add(10, MeshOf(10, 5)));
    EXPECT_EQ(meshes.Count(), 4u);
    ExpectSame(*meshes.Copy(3), MeshOf(3, 1));
    ExpectSame(*meshes.Copy(7), ProductMesh{});
    ExpectSame(*meshes.Copy(9), MeshOf(9, 300'000));
    ExpectSame(*meshes.Copy(12), MeshOf(12, 5));
    EXPECT_FALSE(meshes.Copy(8));
    EXPECT_FALSE(meshes.Copy(13));
}

TEST(PlannedMeshes, GiveBackOnlyWholeMappingsOfProductsPast) {
    PlannedMeshes meshes;
    // About 40 products to a mapping.
    for (uint32_t p = 0; p < 400; ++p) ASSERT_TRUE(meshes.Add(p * 2, MeshOf(p * 2, 5000)));
    const size_t all = meshes.MappedBytes();
    meshes.GiveBackBefore(1);
    meshes.GiveBackFrom(799);
    EXPECT_EQ(meshes.MappedBytes(), all);
    meshes.GiveBackBefore(300);
    meshes.GiveBackFrom(500);
    EXPECT_LT(meshes.MappedBytes(), all);
    // Every product still to be made has its mesh; those past may not.
    for (uint32_t p = 150; p < 250; ++p) ExpectSame(*meshes.Copy(p * 2), MeshOf(p * 2, 5000));
    EXPECT_FALSE(meshes.Copy(0));
    EXPECT_FALSE(meshes.Copy(798));
    // Once some went, none is added.
    EXPECT_FALSE(meshes.Add(900, MeshOf(900, 1)));
    meshes.GiveBackBefore(UINT32_MAX);
    EXPECT_EQ(meshes.MappedBytes(), 0u);
    meshes.GiveBackFrom(0);
    EXPECT_FALSE(meshes.Copy(400));
}

TEST(PlannedMeshes, JoinSharesInFileOrderOnly) {
    PlannedMeshes first, second, early;
    ASSERT_TRUE(first.Add(1, MeshOf(1, 2)));
    ASSERT_TRUE(second.Add(5, MeshOf(5, 3)));
    ASSERT_TRUE(second.Add(6, MeshOf(6, 4)));
    ASSERT_TRUE(early.Add(0, MeshOf(0, 1)));
    EXPECT_FALSE(second.Append(std::move(first)));
    ASSERT_TRUE(first.Append(std::move(second)));
    EXPECT_EQ(second.Count(), 0u);
    EXPECT_FALSE(first.Append(std::move(early)));
    ASSERT_EQ(first.Count(), 3u);
    ExpectSame(*first.Copy(1), MeshOf(1, 2));
    ExpectSame(*first.Copy(6), MeshOf(6, 4));
    // Moved, the meshes stay with their new owner.
    PlannedMeshes moved = std::move(first);
    ExpectSame(*moved.Copy(5), MeshOf(5, 3));
    EXPECT_FALSE(first.Copy(5));
}

// Corners that fit 16 bits are kept so, the others as they are: all come back as added.
TEST(PlannedMeshes, GiveBackCornersAtTheEdgesOfSixteenBits) {
    PlannedMeshes meshes;
    ProductMesh narrow = MeshOf(1, 3), wide = MeshOf(2, 3), odd = MeshOf(3, 3);
    narrow.triangles.push_back({0, 65535, 1});
    wide.triangles.push_back({0, 65536, 1});
    odd.triangles.push_back({-1, 0, 1}); // a corner no point has is kept, not mended
    ASSERT_TRUE(meshes.Add(1, narrow));
    ASSERT_TRUE(meshes.Add(2, wide));
    ASSERT_TRUE(meshes.Add(3, odd));
    ExpectSame(*meshes.Copy(1), narrow);
    ExpectSame(*meshes.Copy(2), wide);
    ExpectSame(*meshes.Copy(3), odd);
}
