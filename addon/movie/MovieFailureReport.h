#pragma once
// A movie writer's failure in the report window: the add-on's text for what failed (a string list
// a writer: AVI, QuickTime or MP4), the movie's path and, when the system gave one, its reason
// (line 1 of list 32585; line 2 without a reason). Texts are Windows-1250.
#include <cstdint>
#include <string_view>

inline constexpr int16_t kAVIFailureTexts = 32583;
inline constexpr int16_t kQuickTimeFailureTexts = 32584;
// The MP4 writer's, in the items of list 32584.
inline constexpr int16_t kMP4FailureTexts = 32646;

// Items of list 32583.
namespace AVIFailureText {
inline constexpr int16_t kStream = 1;           // the file or its stream cannot be made
inline constexpr int16_t kCompressedStream = 2; // the compressor cannot be started
inline constexpr int16_t kFormat = 3;           // the pictures' format is refused
inline constexpr int16_t kWrite = 5;            // a picture or the end of the file cannot be written
inline constexpr int16_t kFrame = 6;            // the picture cannot be made a bitmap
inline constexpr int16_t kMemory = 7;
} // namespace AVIFailureText

// Items of list 32584.
namespace QuickTimeFailureText {
inline constexpr int16_t kBegin = 1;    // the movie cannot be made
inline constexpr int16_t kWrite = 2;    // a picture cannot be written into it
inline constexpr int16_t kCompress = 3; // a picture cannot be compressed
inline constexpr int16_t kFrame = 4;    // a picture cannot be read
inline constexpr int16_t kFinish = 5;   // the movie cannot be completed
} // namespace QuickTimeFailureText

void ReportMovieFailure(int16_t listId, int16_t index, std::string_view moviePath, std::string_view reason);
