#pragma once
// QuickTime movie writing: FFmpeg's MOV muxer, H.264 video (4:2:0, the index at the front, so
// browsers and phones play it) or QuickTime Animation, and a 3GPP text track that shows each
// picture's caption for as long as the picture stands. One movie is open at a time.
//
// The frames go into a new file of a unique name, created exclusively in the movie's folder;
// ending the movie moves it to the movie's path (replacing what was there), so a movie that
// failed never reaches that path and leaves its old file alone. A device is written directly.
#include "basekit/BKMemory.h"

#include <cstdint>

// Frames per second of the next movie (1 to 1000).
void MKSetFrameRate(int16_t framesPerSecond);
int16_t MKFrameRate();
// The size of the next movie's pictures. Pictures of another size are scaled to it.
void MKSetScreenRect(int32_t top, int32_t left, int32_t bottom, int32_t right);

// The video codec of the next movie. H.264 pictures of an odd width or height get one column or
// row more, repeating the edge; QuickTime Animation is lossless and keeps the size.
inline constexpr int32_t kMKCodecH264 = 0;
inline constexpr int32_t kMKCodecAnimation = 1;
void MKSetVideoCodec(int32_t codec);
int32_t MKVideoCodec();

// The container of the next movie: a QuickTime movie, or an MP4 file (ISO base media) that every
// browser and phone plays; H.264 only, as MP4 players know no QuickTime Animation, encoded with
// x264's "veryfast" preset at quality (CRF) 21.
inline constexpr int32_t kMKContainerQuickTime = 0;
inline constexpr int32_t kMKContainerMP4 = 1;
void MKSetContainer(int32_t container);
int32_t MKContainer();

// Whether the movies begun from now on encode on a thread of their own (the default): adding a
// picture then copies it and returns while the last one is still being encoded, and a failure
// of that work is the answer of the next MKAddSamplesToVideo or of MKEndMovie. The movie's bytes
// are the same either way.
void MKSetEncoderThread(bool on);
bool MKEncoderThread();

// Result codes.
inline constexpr int16_t kMKNoError = 0;
inline constexpr int16_t kMKMovieOpen = -1;   // a movie is already being written
inline constexpr int16_t kMKBadParameter = -2;
inline constexpr int16_t kMKFileError = -3;
inline constexpr int16_t kMKEncoderError = -4;
inline constexpr int16_t kMKNoMovie = -5;
inline constexpr int16_t kMKBadPicture = -6;

// Begins a movie for `moviePath` (UTF-16, zero-terminated). `scratchPath` must name a file but
// is not used: the library chooses where the bytes go until the movie is complete.
// `flags` is 0; `captionTrack` 1 adds the text track. `creator` (two letters) and `creatorCode`
// name the program that made the movie and are kept in the movie's metadata.
int16_t MKBeginMovie(const char16_t* moviePath, const char16_t* scratchPath, int32_t flags, int32_t captionTrack,
                     const char* creator, uint32_t creatorCode);
// Describes the samples that follow: whether they are the last, how many a picture makes, and
// their caption (8-bit Windows-1250; nullptr for none).
void MKSetSlideParameters(bool lastSlide, int32_t samplesPerPicture, const char* caption, int32_t reserved);
// Adds the picture (a host pixel map block) `count` times, with the caption set before; the
// picture is copied, the caller keeps it. With the encoder thread a failure of the pictures added
// before may be the answer. After a failure the movie takes no more pictures and ending it
// removes it.
int16_t MKAddSamplesToVideo(BKHandle picture, int32_t count);
// Finishes the movie with the given name (a length byte followed by the characters) and moves it
// into place; a movie that failed is removed instead. kMKNoError only when the complete movie is
// at its path; kMKFileError when it is not; kMKNoMovie when none was open.
int16_t MKEndMovie(const uint8_t* name);
// The path and the system's reason of the latest file failure (Windows-1250); empty when none.
// Beginning a movie clears it.
const char* MKLastFailureText();
// The system's reason of that failure alone ("No space left on device"); empty when none.
const char* MKLastFailureReason();
