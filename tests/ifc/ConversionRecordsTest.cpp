// The converting child's records: what the reader gets back is what the child sent, and a
// record the child did not finish (it crashed while writing) is never taken for a whole one.
#include "host/ifc/stream/ConversionRecords.h"
#include "host/ifc/reader/ProductsInFileOrder.h"
#include "host/ifc/helper/ShareRecordSpans.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Written(const std::function<void(RecordWriter&)>& write) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    {
        RecordWriter w(fds[1]);
        write(w);
        w.Flush();
    }
    close(fds[1]);
    std::string bytes;
    char block[4096];
    for (ssize_t n; (n = read(fds[0], block, sizeof block)) > 0;) bytes.append(block, static_cast<size_t>(n));
    close(fds[0]);
    return bytes;
}

IfcProductData Sample() {
    IfcProductData p;
    p.guid.bytes[0] = 0x68;
    p.guid.bytes[15] = 0xD9;
    p.globalId = "1eD3QeZNj1tRskKKcN6FdP";
    p.ifcClass = "IfcWallStandardCase";
    p.predefinedType = "ROOF";
    p.name = "Zeď";
    p.tag = "W-01";
    p.layer = "Falak";
    p.storey = "Földszint";
    p.objectType = "Basic Wall:Exterior 300";
    p.description = "két\nsor";
    p.materials = {"Beton C30/37", "Hőszigetelés"};
    p.classifications = {"Uniclass 2015: EF_25_10 Walls"};
    p.properties = {{"Pset_WallCommon.IsExternal", "TRUE"}, {"Qto_WallBaseQuantities.Length", ""}};
    p.hasColour = true;
    p.rgb = {0.8, 0.2, 0.1};
    p.transparency = 0.25;
    p.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0.5}};
    p.triangles = {{0, 1, 2}};
    return p;
}

} // namespace

TEST(ConversionRecords, ComeBackAsTheChildSentThem) {
    std::string bytes = Written([](RecordWriter& w) {
        w.Parsed(5192);
        w.Storeys({"Pince", "Földszint"});
        w.Begin(7, {"1eD3QeZNj1tRskKKcN6FdP", "IfcWallStandardCase", {}, {}, "Zeď", 102});
        w.Product(Sample());
        w.Skipped({"0jQ8Vm2Lb0mRhK4aE$Nd8t", "IfcWindow", "no body geometry", IfcLeftOutCause::RepeatedGlobalId, "Ablak", 143});
        w.Failed("not readable as IFC: why");
        w.End();
    });
    std::string_view rest = bytes;
    ConversionRecord r;
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::Parsed);
    EXPECT_EQ(r.products, 5192u);
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::Storeys);
    EXPECT_EQ(r.storeys, (std::vector<std::string>{"Pince", "Földszint"}));
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::Begin);
    EXPECT_EQ(r.position, 7u);
    EXPECT_EQ(r.skipped.globalId, "1eD3QeZNj1tRskKKcN6FdP");
    EXPECT_EQ(r.skipped.ifcClass, "IfcWallStandardCase");
    EXPECT_EQ(r.skipped.name, "Zeď");
    EXPECT_EQ(r.skipped.record, 102);
    ASSERT_TRUE(ReadRecord(rest, r));
    ASSERT_EQ(r.kind, RecordKind::Product);
    IfcProductData s = Sample();
    EXPECT_EQ(r.product.guid, s.guid);
    EXPECT_EQ(r.product.globalId, s.globalId);
    EXPECT_EQ(r.product.ifcClass, s.ifcClass);
    EXPECT_EQ(r.product.predefinedType, s.predefinedType);
    EXPECT_EQ(r.product.name, s.name);
    EXPECT_EQ(r.product.tag, s.tag);
    EXPECT_EQ(r.product.layer, s.layer);
    EXPECT_EQ(r.product.storey, s.storey);
    EXPECT_EQ(r.product.objectType, s.objectType);
    EXPECT_EQ(r.product.description, s.description);
    EXPECT_EQ(r.product.materials, s.materials);
    EXPECT_EQ(r.product.classifications, s.classifications);
    EXPECT_EQ(r.product.properties, s.properties);
    EXPECT_TRUE(r.product.hasColour);
    EXPECT_EQ(r.product.rgb, s.rgb);
    EXPECT_EQ(r.product.transparency, s.transparency);
    EXPECT_EQ(r.product.vertices, s.vertices);
    EXPECT_EQ(r.product.triangles, s.triangles);
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::Skipped);
    EXPECT_EQ(r.skipped.reason, "no body geometry");
    EXPECT_EQ(r.skipped.cause, IfcLeftOutCause::RepeatedGlobalId);
    EXPECT_EQ(r.skipped.name, "Ablak");
    EXPECT_EQ(r.skipped.record, 143);
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::Failed);
    EXPECT_EQ(r.message, "not readable as IFC: why");
    ASSERT_TRUE(ReadRecord(rest, r));
    EXPECT_EQ(r.kind, RecordKind::End);
    EXPECT_FALSE(ReadRecord(rest, r));
}

TEST(ConversionRecords, ARecordCutShortOrUnknownIsNotRead) {
    std::string whole = Written([](RecordWriter& w) { w.Product(Sample()); });
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        std::string_view part(whole.data(), cut);
        ConversionRecord r;
        ASSERT_FALSE(ReadRecord(part, r)) << cut;
        ASSERT_EQ(part.size(), cut);
    }
    std::string unknown = "\x09";
    std::string_view view = unknown;
    ConversionRecord r;
    EXPECT_FALSE(ReadRecord(view, r));
    // A list longer than what arrived could hold.
    std::string storeys = Written([](RecordWriter& w) { w.Storeys({"a"}); });
    storeys[1] = '\x40';
    view = storeys;
    EXPECT_FALSE(ReadRecord(view, r));
    // A length beyond what arrived is refused, not trusted.
    std::string huge = Written([](RecordWriter& w) { w.Failed("x"); });
    huge[1] = '\xFF';
    huge[2] = '\xFF';
    view = huge;
    EXPECT_FALSE(ReadRecord(view, r));
}

// Packed, the pairs come back as they went, texts empty or holding zeros among them, and a
// record cut short anywhere is still not read; a product holding packed pairs sends them too.
TEST(ConversionRecords, PropertiesAskedForPackedComeBackTheSame) {
    IfcProductData sent = Sample();
    const std::string zeroInside("Pset_Odd.Zero\0Inside", 20), longValue(300, 'v');
    sent.properties.push_back({zeroInside, longValue});
    sent.properties.push_back({"", "no key"});
    const std::string whole = Written([&](RecordWriter& w) { w.Product(sent); });
    std::string_view rest = whole;
    ConversionRecord r;
    ASSERT_EQ(ReadStreamRecord(rest, r, IfcPropertiesForm::Packed), StreamRead::Whole);
    EXPECT_TRUE(rest.empty());
    EXPECT_TRUE(r.product.properties.empty());
    EXPECT_EQ(r.product.packedProperties.Size(), sent.properties.size());
    EXPECT_EQ(r.product.packedProperties.Unpacked(), sent.properties);
    EXPECT_EQ(r.product.vertices, sent.vertices);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        std::string_view part(whole.data(), cut);
        ConversionRecord shortOne;
        ASSERT_EQ(ReadStreamRecord(part, shortOne, IfcPropertiesForm::Packed), StreamRead::Short) << cut;
        ASSERT_EQ(part.size(), cut);
    }
    const std::string again = Written([&](RecordWriter& w) { w.Product(r.product); });
    EXPECT_EQ(again, whole);
}

TEST(IfcPackedProperties, TakesOnlyPairsThatFitAndAddsAfterThem) {
    IfcPackedProperties source;
    source.Add("Pset_WallCommon.IsExternal", "TRUE");
    source.Add("Qto.Length", "");
    std::string bytes;
    source.ForEach([&](std::string_view key, std::string_view value) {
        for (std::string_view text : {key, value}) {
            const auto size = static_cast<uint32_t>(text.size());
            bytes.append(reinterpret_cast<const char*>(&size), sizeof size);
            bytes.append(text);
        }
    });
    bytes += "next";
    IfcPackedProperties taken;
    for (uint32_t count : {3u, UINT32_MAX}) {
        std::string_view view = bytes;
        EXPECT_FALSE(taken.Take(view, count)) << count;
        EXPECT_EQ(view.size(), bytes.size());
        EXPECT_TRUE(taken.Empty());
    }
    std::string_view view = bytes;
    ASSERT_TRUE(taken.Take(view, 2));
    EXPECT_EQ(view, "next");
    EXPECT_EQ(taken, source);
    taken.Add("Pset.Last", "1");
    EXPECT_EQ(taken.Unpacked(), (std::vector<std::pair<std::string, std::string>>{
                                    {"Pset_WallCommon.IsExternal", "TRUE"}, {"Qto.Length", ""}, {"Pset.Last", "1"}}));
}

// The stream as the reader meets it from the helper program: its header first, then records
// that are whole, cut short (more may come) or malformed (no writer of this version makes them).
TEST(ConversionRecords, TheStreamIsAHeaderThenRecordsWholeShortOrMalformed) {
    const std::string stream = Written([](RecordWriter& w) {
        w.Header();
        w.Begin(4, {"g", "IfcWall", "", IfcLeftOutCause::NoBody, "n", 9});
        w.Product(Sample());
        w.OffHeap(OffHeapCause::Leaked);
        w.End();
    });
    for (size_t cut = 0; cut < kRecordStreamHeaderBytes; ++cut) {
        std::string_view part(stream.data(), cut);
        EXPECT_EQ(ReadStreamHeader(part), StreamRead::Short) << cut;
    }
    std::string_view view = stream;
    ASSERT_EQ(ReadStreamHeader(view), StreamRead::Whole);
    ConversionRecord r;
    ASSERT_EQ(ReadStreamRecord(view, r), StreamRead::Whole);
    EXPECT_EQ(r.kind, RecordKind::Begin);
    ASSERT_EQ(ReadStreamRecord(view, r), StreamRead::Whole);
    EXPECT_EQ(r.product.triangles, Sample().triangles);
    ASSERT_EQ(ReadStreamRecord(view, r), StreamRead::Whole);
    EXPECT_EQ(r.offHeap, OffHeapCause::Leaked);
    ASSERT_EQ(ReadStreamRecord(view, r), StreamRead::Whole);
    EXPECT_EQ(r.kind, RecordKind::End);
    EXPECT_EQ(ReadStreamRecord(view, r), StreamRead::Short);

    // Another version, another program.
    std::string other = stream;
    other[8] = 2;
    view = other;
    EXPECT_EQ(ReadStreamHeader(view), StreamRead::Malformed);
    view = std::string_view("QVIFCRED");
    EXPECT_EQ(ReadStreamHeader(view), StreamRead::Malformed);

    auto malformed = [](std::string bytes) {
        std::string_view v = bytes;
        ConversionRecord record;
        const StreamRead read = ReadStreamRecord(v, record);
        EXPECT_EQ(v.size(), bytes.size()); // nothing taken
        return read == StreamRead::Malformed;
    };
    EXPECT_TRUE(malformed(std::string(1, '\0')));
    EXPECT_TRUE(malformed("\x09"));
    EXPECT_TRUE(malformed(std::string("\x08\x03", 2)));
    IfcProductData pointsPastItsVertices = Sample();
    pointsPastItsVertices.triangles = {{0, 1, 3}};
    EXPECT_TRUE(malformed(Written([&](RecordWriter& w) { w.Product(pointsPastItsVertices); })));
    pointsPastItsVertices.triangles = {{-1, 1, 2}};
    EXPECT_TRUE(malformed(Written([&](RecordWriter& w) { w.Product(pointsPastItsVertices); })));
    std::string cause = Written([](RecordWriter& w) { w.Skipped({"g", "IfcWall", "why", IfcLeftOutCause::NoBody, "", 1}); });
    cause.back() = static_cast<char>(kIfcLeftOutCauses);
    EXPECT_TRUE(malformed(cause));
    // A product without a body still reads: its empty lists have no data to copy.
    const std::string empty = Written([](RecordWriter& w) { w.Product(IfcProductData{}); });
    view = empty;
    EXPECT_EQ(ReadStreamRecord(view, r), StreamRead::Whole);
}

TEST(ConversionRecords, TheWriterCountsWhatWentOutAndSaysWhenItFellShort) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    RecordWriter w(fds[1]);
    w.Parsed(1);
    w.Flush();
    EXPECT_EQ(w.Written(), 5u); // the kind and its count of products
    w.Begin(7, {"1eD3QeZNj1tRskKKcN6FdP", "IfcWall", {}, IfcLeftOutCause::NoBody, "Fal", 12});
    const uint64_t afterBegin = w.Written();
    EXPECT_GT(afterBegin, 1u);
    EXPECT_FALSE(w.FellShort());
    close(fds[0]);
    // Nobody reads any more: the write fails rather than the process.
    signal(SIGPIPE, SIG_IGN);
    w.End();
    w.Flush();
    EXPECT_TRUE(w.FellShort());
    EXPECT_EQ(w.Written(), afterBegin);
    close(fds[1]);
}

TEST(ShareRecordSpans, WhatTheSecondProcessMarksTheFirstSees) {
    ShareRecordSpans spans(3);
    ASSERT_TRUE(spans.Valid());
    EXPECT_FALSE(spans.Of(0).begun);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        spans.Began(2, 0);
        spans.Ended(2, 40);
        spans.Began(1, 40);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const auto whole = spans.Of(2);
    EXPECT_TRUE(whole.begun && whole.ended);
    EXPECT_EQ(whole.begin, 0u);
    EXPECT_EQ(whole.end, 40u);
    const auto begun = spans.Of(1);
    EXPECT_TRUE(begun.begun);
    EXPECT_FALSE(begun.ended);
    EXPECT_EQ(begun.begin, 40u);
    EXPECT_FALSE(spans.Of(0).begun);
    EXPECT_FALSE(spans.Of(3).begun); // past the end
}

TEST(ProductsInFileOrder, HandsOutInTheFilesOrderWithTheFirstOfAGlobalIdKept) {
    auto product = [](const char* globalId, uint8_t guid) {
        IfcProductData p;
        p.globalId = globalId;
        p.guid.bytes[0] = guid;
        return p;
    };
    auto skipped = [](const char* globalId) {
        IfcSkippedProduct s;
        s.globalId = globalId;
        return s;
    };
    ProductsInFileOrder arrived;
    // The first process's front, then the second's from the back, then a failure's leftovers.
    arrived.Add(2, product("A", 1));
    arrived.Add(4, skipped("B"));
    arrived.Add(30, product("Z", 9));
    arrived.Add(20, product("Y", 1)); // the GUID of A again, later in the file
    arrived.Add(25, skipped("X"));
    arrived.Add(10, product("C", 3));
    arrived.Add(12, product("ZZZZZZZZZZZZZZZZZZZZZZ", 0)); // past 128 bits
    IfcBuildingData data;
    std::vector<size_t> outOfRange;
    std::unordered_set<API_Guid, API_GuidHash> seen;
    arrived.MoveInto(data, outOfRange, seen);
    std::vector<std::string> products, left;
    for (const auto& p : data.products) products.push_back(p.globalId);
    for (const auto& s : data.skipped) left.push_back(s.globalId + (s.cause == IfcLeftOutCause::RepeatedGlobalId ? "!" : ""));
    EXPECT_EQ(products, (std::vector<std::string>{"A", "C", "ZZZZZZZZZZZZZZZZZZZZZZ", "Z"}));
    EXPECT_EQ(left, (std::vector<std::string>{"B", "Y!", "X"}));
    EXPECT_EQ(outOfRange, std::vector<size_t>{2});
    EXPECT_EQ(seen.size(), 3u);
}

TEST(ProductsInFileOrder, AfterAFailureWhatCamePastItIsDropped) {
    ProductsInFileOrder arrived;
    IfcProductData a, b;
    a.globalId = "A";
    b.globalId = "B";
    b.guid.bytes[0] = 1;
    arrived.Add(3, a);
    arrived.Add(90, b); // the second process's, made again by the next child
    arrived.Add(91, IfcSkippedProduct{});
    arrived.DropPast(5);
    IfcBuildingData data;
    std::vector<size_t> outOfRange;
    std::unordered_set<API_Guid, API_GuidHash> seen;
    arrived.MoveInto(data, outOfRange, seen);
    ASSERT_EQ(data.products.size(), 1u);
    EXPECT_EQ(data.products[0].globalId, "A");
    EXPECT_TRUE(data.skipped.empty());
}
