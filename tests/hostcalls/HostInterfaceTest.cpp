#include "basekit/BKResources.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostRegistrationRecord.h"
#include "hostapi/HostSelectors.h"
#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "HostFixture.h"
#include "shell/AddonEntries.h"

#include <array>

namespace {

using HostInterfaceTest = HostFixture;

TEST_F(HostInterfaceTest, WithoutTableEveryCallFails) {
    ForgetHostTableForTests();
    int32_t count = 0;
    EXPECT_EQ(HostElementGetCount(1, &count), kHostErrNoTable);
    EXPECT_EQ(HostRegisterMenu(nullptr), kHostErrNoTable);
    EXPECT_EQ(HostUndoClose(), kHostErrNoTable);
    std::array<uint8_t, HostHead::kSize> head{};
    EXPECT_FALSE(HostElementFilter(head.data(), 0));
    std::array<uint8_t, HostEnvironmentRecord::kSize> env{};
    EXPECT_EQ(AddonCheckEnvironment(env.data()), 0);
    EXPECT_EQ(AddonRegisterInterface(), kHostErrNoTable);
    EXPECT_EQ(AddonInitialize(1), kHostErrNoTable);
    EXPECT_EQ(AddonFreeData(), kHostErrNoTable);
}

TEST_F(HostInterfaceTest, EmptySlotsAnswerWithTheirOwnCode) {
    auto table = host->Table();
    table[kHostElementGetCount] = nullptr;
    table[kHostElementFilter] = nullptr;
    SetImportedFuncAddrs(table.data());
    Element& wall = AddElement(1, "FAL-01");
    int32_t count = 0;
    EXPECT_EQ(HostElementGetCount(1, &count), kHostErrEmptyEntry);
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, HostHead::kKind, 1);
    wall.Guid().ToBytes(head.data() + HostHead::kGuid);
    EXPECT_FALSE(HostElementFilter(head.data(), 0));
    // The add-on copied the table: changing the host's copy later changes nothing.
    table[kHostElementGetCount] = host->Table()[kHostElementGetCount];
    EXPECT_EQ(HostElementGetCount(1, &count), kHostErrEmptyEntry);
    SetImportedFuncAddrs(host->Table().data());
    EXPECT_EQ(HostElementGetCount(1, &count), kHostNoError);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(HostElementFilter(head.data(), 0));
}

TEST_F(HostInterfaceTest, CallsCarryTheToken) {
    uint32_t token = AddonToken();
    SetAddonToken(token + 99);
    int16_t count = 0;
    EXPECT_NE(HostAttributeGetCount(HostAttribute::Layer, &count), kHostNoError);
    SetAddonToken(token);
    EXPECT_EQ(HostAttributeGetCount(HostAttribute::Layer, &count), kHostNoError);
    EXPECT_EQ(count, 1);
}

TEST_F(HostInterfaceTest, EntriesAndRegistration) {
    HostEntryRecord entries{};
    ASSERT_EQ(GetExportedFuncAddrs(reinterpret_cast<uint8_t*>(&entries)), kHostNoError);
    EXPECT_EQ(entries.signature, 0x000C0001u);
    EXPECT_EQ(entries.hostVersion, 12001);
    ASSERT_NE(entries.checkEnvironment, nullptr);

    std::array<uint8_t, HostEnvironmentRecord::kSize> env{};
    EXPECT_EQ(entries.checkEnvironment(env.data()), 2);
    EXPECT_EQ(LE::GetText(env, HostEnvironmentRecord::kName, 256), "Bauvista");
    EXPECT_EQ(LE::GetText(env, HostEnvironmentRecord::kDescription, 256).substr(0, 5), "3D-s ");
    std::array<uint8_t, HostEnvironmentRecord::kSize> decline{};
    decline[0] = 1;
    EXPECT_EQ(entries.checkEnvironment(decline.data()), 0);
    EXPECT_EQ(LE::GetText(decline, HostEnvironmentRecord::kName, 256), "");

    ASSERT_EQ(entries.registerInterface(), kHostNoError);
    AddonRegistration* reg = host->AddonByToken(AddonToken());
    ASSERT_NE(reg, nullptr);
    EXPECT_EQ(reg->menuResId, 32500);
    EXPECT_EQ(LE::Get<int16_t>(reg->menuRecord, 2), 32650);
    EXPECT_EQ(LE::Get<int32_t>(reg->menuRecord, 4), 9);
    EXPECT_EQ(LE::Get<int32_t>(reg->objectTypeRecord, 0), 0x43617074);
    EXPECT_EQ(LE::Get<int16_t>(reg->objectTypeRecord, 8), 32530);
}

TEST_F(HostInterfaceTest, SelectorServicesAndUndoSteps) {
    uint8_t sw = 7;
    ASSERT_EQ(HostEnvironmentGet(kHostSelSwitchGet, &sw, nullptr), kHostNoError);
    EXPECT_EQ(sw, 0);
    uint8_t on = 1;
    EXPECT_EQ(HostEnvironmentSet(kHostSelSwitchSet, &on, nullptr), kHostNoError);
    EXPECT_TRUE(host->hostSwitch);
    EXPECT_EQ(HostEnvironmentGet(HOST_FOURCC('X', 'X', 'X', 'X'), &sw, nullptr), kHostErrBadSelector);

    int32_t kind = 1;
    char name[256] = {};
    ASSERT_EQ(HostUtility(kHostSelKindName, &kind, name), kHostNoError);
    EXPECT_STREQ(name, "Fal");

    std::array<uint8_t, HostDatabaseRecord::kSize> db{};
    LE::Put<int32_t>(db, 0, HostDatabaseKind::Section);
    EXPECT_EQ(HostDatabaseQuery(kHostSelDatabaseChange, db.data(), nullptr), kHostErrNotAvailable);
    EXPECT_EQ(HostAutomate(kHostSelWindowToFront, db.data(), nullptr), kHostNoError);
    EXPECT_EQ(host->currentDatabase, HostDatabaseKind::Section);

    std::vector<std::string> steps;
    host->Events().undoStep = [&](const std::string& s) { steps.push_back(s); };
    ASSERT_EQ(HostUndoOpen("Mutasd mind"), kHostNoError);
    EXPECT_EQ(HostUndoOpen("again"), kHostErrNotInUndoStep);
    ASSERT_EQ(HostUndoClose(), kHostNoError);
    EXPECT_EQ(HostUndoClose(), kHostErrNotInUndoStep);
    EXPECT_EQ(steps, std::vector<std::string>{"Mutasd mind"});
    ASSERT_EQ(HostReportWrite("sor", 0), kHostNoError);
    EXPECT_EQ(host->ReportLines().back(), "sor");
}

TEST_F(HostInterfaceTest, ElementChangesHonourLocksAndUndo) {
    int16_t locked = AddLayer("Zárolt", false, true);
    Element& wall = AddElement(1, "FAL-01");
    Element& other = AddElement(1, "FAL-02", locked);
    std::vector<uint8_t> rec(HostElement::kRecordSize, 0), mask(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(rec, 0, 1);
    wall.Guid().ToBytes(rec.data() + HostElement::kGuid);
    ASSERT_EQ(HostElementGet(rec.data()), kHostNoError);
    LE::Put<int16_t>(rec, 104, 255);
    LE::Put<int16_t>(mask, 104, -1);
    HostUndoOpen("lépés");
    ASSERT_EQ(HostElementChange(rec.data(), mask.data()), kHostNoError);
    HostUndoClose();
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 104), 255);
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    EXPECT_EQ(name, "lépés");
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 104), 0);
    ASSERT_TRUE(host->Model().ApplyRedo(name));
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 104), 255);

    // A locked element, and an element on a locked layer, refuse changes.
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, 0, 1);
    wall.Guid().ToBytes(head.data() + HostHead::kGuid);
    ASSERT_EQ(HostElementTool(head.data(), 1, kHostSelElementLock), kHostNoError);
    EXPECT_EQ(HostElementChange(rec.data(), mask.data()), kHostErrElementLocked);
    other.Guid().ToBytes(rec.data() + HostElement::kGuid);
    EXPECT_EQ(HostElementChange(rec.data(), mask.data()), kHostErrLayerLocked);
    EXPECT_EQ(HostElementTool(head.data(), 1, HOST_FOURCC('N', 'O', 'P', 'E')), kHostErrBadSelector);
}

TEST_F(HostInterfaceTest, ElementChangesTakeOnlyMaskedFieldsAndNeverTheIdentity) {
    Element& wall = AddElement(1, "FAL-01");
    const std::vector<uint8_t> original = wall.record;
    std::vector<uint8_t> rec(HostElement::kRecordSize, 0), mask(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(rec, 0, 1);
    wall.Guid().ToBytes(rec.data() + HostElement::kGuid);
    ASSERT_EQ(HostElementGet(rec.data()), kHostNoError);
    // Every byte offered changed; only one byte inside an eight-byte word and the last are masked.
    for (size_t i = HostElement::kLayer; i < rec.size(); ++i) rec[i] ^= 0x5A;
    mask[1001] = 1;
    mask[HostElement::kRecordSize - 1] = 1;
    ASSERT_EQ(HostElementChange(rec.data(), mask.data()), kHostNoError);
    for (size_t i = 0; i < rec.size(); ++i) {
        if (i == 1001 || i == HostElement::kRecordSize - 1) {
            EXPECT_EQ(wall.record[i], original[i] ^ 0x5A) << i;
        } else if (i < HostElement::kModiStamp || i >= HostElement::kModiStamp + 4) {
            EXPECT_EQ(wall.record[i], original[i]) << i;
        }
    }
    // A mask over the whole record leaves the lock and the change stamp to the host.
    std::fill(mask.begin(), mask.end(), 0xFF);
    std::fill(rec.begin() + HostElement::kLayer + 2, rec.end(), 0x77);
    LE::Put<int16_t>(rec, HostElement::kLayer, wall.Layer());
    uint32_t stamp = LE::Get<uint32_t>(wall.record, HostElement::kModiStamp);
    ASSERT_EQ(HostElementChange(rec.data(), mask.data()), kHostNoError);
    EXPECT_EQ(wall.record[HostElement::kLocked], original[HostElement::kLocked]);
    EXPECT_NE(LE::Get<uint32_t>(wall.record, HostElement::kModiStamp), 0x77777777u);
    EXPECT_NE(LE::Get<uint32_t>(wall.record, HostElement::kModiStamp), stamp);
    EXPECT_EQ(wall.record[HostElement::kRecordSize - 1], 0x77);
    EXPECT_EQ(wall.Guid(), API_Guid::FromBytes(rec.data() + HostElement::kGuid));
}

// A user data record over a new handle of `bytes` (none: a null handle).
std::array<uint8_t, HostUserData::kSize> Block(int16_t version, const std::vector<uint8_t>& bytes, BKHandle& h) {
    std::array<uint8_t, HostUserData::kSize> rec{};
    h = bytes.empty() ? 0 : BKNewHandle(bytes.size());
    if (h) std::copy(bytes.begin(), bytes.end(), BKHandleData(h));
    LE::Put<int16_t>(rec, HostUserData::kVersion, version);
    LE::Put<uint16_t>(rec, HostUserData::kPlatformSign, 0x5757);
    LE::Put<uint32_t>(rec, HostUserData::kDataHandle, h);
    return rec;
}

TEST_F(HostInterfaceTest, TheProjectBlockIsTheAddonsOwnAndNoUndoStepKeepsIt) {
    std::array<uint8_t, HostUserData::kSize> got{};
    EXPECT_EQ(HostProjectGetUserData(got.data()), kHostErrNoUserData);
    EXPECT_EQ(HostProjectSetUserData(nullptr), kHostErrBadParameter);

    BKHandle h = 0;
    auto rec = Block(1, {1, 2, 3}, h);
    OwnedHandle keep(h);
    ASSERT_FALSE(host->Model().Modified());
    ASSERT_EQ(HostUndoOpen("lépés"), kHostNoError);
    ASSERT_EQ(HostProjectSetUserData(rec.data()), kHostNoError);
    ASSERT_EQ(HostUndoClose(), kHostNoError);
    EXPECT_TRUE(host->Model().Modified());
    EXPECT_EQ(host->Model().Undo().UndoCount(), 0u);

    ASSERT_EQ(HostProjectGetUserData(got.data()), kHostNoError);
    OwnedHandle bytes(LE::Get<uint32_t>(got, HostUserData::kDataHandle));
    EXPECT_EQ(LE::Get<int16_t>(got, HostUserData::kVersion), 1);
    EXPECT_EQ(LE::Get<uint16_t>(got, HostUserData::kPlatformSign), 0x5757);
    ASSERT_EQ(bytes.Size(), 3u);
    EXPECT_EQ(bytes.Data()[2], 3);

    // The same block again is no change.
    host->Model().MarkSaved();
    ASSERT_EQ(HostProjectSetUserData(rec.data()), kHostNoError);
    EXPECT_FALSE(host->Model().Modified());

    // Another add-on sees only its own.
    AddonRegistration& other = host->AddAddon("Masik");
    uint32_t token = AddonToken();
    SetAddonToken(other.token);
    EXPECT_EQ(HostProjectGetUserData(got.data()), kHostErrNoUserData);
    SetAddonToken(token);

    BKHandle big = 0;
    auto tooLarge = Block(1, std::vector<uint8_t>(65537, 1), big);
    OwnedHandle keepBig(big);
    EXPECT_EQ(HostProjectSetUserData(tooLarge.data()), kHostErrUserDataRefused);

    BKHandle none = 0;
    auto remove = Block(1, {}, none);
    ASSERT_EQ(HostProjectSetUserData(remove.data()), kHostNoError);
    EXPECT_TRUE(host->Model().Modified());
    EXPECT_EQ(HostProjectGetUserData(got.data()), kHostErrNoUserData);
    // A new project starts without one.
    ASSERT_EQ(HostProjectSetUserData(rec.data()), kHostNoError);
    host->NewProject();
    EXPECT_EQ(HostProjectGetUserData(got.data()), kHostErrNoUserData);
}

} // namespace
