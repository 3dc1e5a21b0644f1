#pragma once
// How the user last made a movie, and the schedule's file bookkeeping beside it.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/MovieOptions.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

enum MovieKind : int16_t { QuickTime = 1, VideoForWindows = 2, Mpeg4 = 3 };

class AnimationSettings {
public:
    static constexpr size_t kProjectPathSize = 261;
    static constexpr size_t kMoviePathSize = 267;
    static constexpr size_t kCustomLabelSize = 128;
    static constexpr size_t kLabelObjectNameSize = 32;
    static constexpr size_t kRecordSize = 728;
    static constexpr int32_t kRecordVersion = 2;
    static constexpr int32_t kRecordTag = 0x34445052; // "RPD4"
    // The record with the movie options appended, stored only while they differ from the defaults.
    static constexpr int32_t kMovieRecordVersion = 3;
    static constexpr size_t kMovieRecordSize = kRecordSize + MovieOptions::kStoredSize;

    AnimationSettings() { ApplyDefaults(); }

    char projectFilePath[kProjectPathSize] = {};
    int16_t projectFileKind = 0;
    char movieFilePath[kMoviePathSize] = {};
    DateTime projectStart, projectEnd;
    DateTime animationStart, animationEnd;
    DateTimeSpan step{1, 0, 0, 0};
    bool untitled = true;
    bool fromCurrentView = true;
    bool use3DWindow = true;
    int16_t movieKind = QuickTime;
    bool labelObjectOn = false;
    bool customLabelOn = false;
    char customLabelText[kCustomLabelSize] = {};
    bool dateLabelOn = false;
    char labelObjectName[kLabelObjectNameSize] = {};
    // The checks' test of elements shown standing on elements not yet there. Stored as a mark
    // that it is off, so a record with it on keeps the bytes it always had.
    bool supportCheckOn = true;
    MovieOptions movie;

    // Paths longer than their stored width are cut there.
    void SetProjectFilePath(std::string_view path);
    void SetMovieFilePath(std::string_view path);
    void SetCustomLabelText(std::string_view text);
    void SetLabelObjectName(std::string_view name);

    void ApplyDefaults();      // all three steps
    void ApplyDefaultNames();  // steps 2 and 3: what a cleared schedule gets
    void Reset();              // the host's preferences-reset event
    // Puts the movie's range inside the schedule's (earliest start, latest finish).
    void NormaliseRange(const DateTime& earliestStart, const DateTime& latestFinish);

    // Through the host's preference store; a store failure is not reported, a load failure
    // (or a record of another version, size or tag) applies the defaults.
    void Store() const;
    void Load();

    // The 728-byte stored record, field by field.
    std::array<uint8_t, kRecordSize> ToRecord() const;
    // What is stored: the 728-byte record, or with movie options of the planner's the longer one
    // of version 3.
    std::vector<uint8_t> ToStoredRecord() const;
    // Takes the stored fields from a record of either version; false (nothing changed) for a wrong
    // size, tag or version or a movie option out of its range.
    bool FromRecord(std::span<const uint8_t> record);

private:
    void ApplySwitchDefaults();
    void ApplyRangeDefaults();
    void ApplyNameDefaults();
};
