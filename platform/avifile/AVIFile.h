#pragma once
// The AVIFile video interface: AVI files written through FFmpeg's AVI muxer, pictures
// compressed with its encoders. Only writing is offered.
//
// Compressors by four-character code (letter case ignored): "msvc" and "CRAM" Microsoft Video 1,
// "DIB " uncompressed (24-bit), "MJPG" Motion JPEG, "cvid" Cinepak, "H264" ("X264", "avc1")
// H.264 without reordered pictures. Microsoft Video 1 and Cinepak work on blocks of 4 by 4
// pixels, H.264 (4:2:0) on even sizes: other picture sizes are padded by repeating the last
// column and row, and the stream then has the padded size. Quality applies to Motion JPEG and
// H.264, and so does the data rate (when no quality is set); the others follow neither.
//
// A compressed stream makes a key frame exactly where the writer asks for one (AVIIF_KEYFRAME);
// the file's index marks every sample that can be shown on its own.
#include <cstdint>

using AVIResult = int32_t; // 0 success, otherwise an AVIERR_ code

inline constexpr uint32_t AVIMakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

inline constexpr AVIResult AVIERR_OK = 0;
inline constexpr AVIResult AVIERR_UNSUPPORTED = static_cast<AVIResult>(0x80044065);
inline constexpr AVIResult AVIERR_BADFORMAT = static_cast<AVIResult>(0x80044066);
inline constexpr AVIResult AVIERR_MEMORY = static_cast<AVIResult>(0x80044067);
inline constexpr AVIResult AVIERR_INTERNAL = static_cast<AVIResult>(0x80044068);
inline constexpr AVIResult AVIERR_BADFLAGS = static_cast<AVIResult>(0x80044069);
inline constexpr AVIResult AVIERR_BADPARAM = static_cast<AVIResult>(0x8004406A);
inline constexpr AVIResult AVIERR_BADSIZE = static_cast<AVIResult>(0x8004406B);
inline constexpr AVIResult AVIERR_BADHANDLE = static_cast<AVIResult>(0x8004406C);
inline constexpr AVIResult AVIERR_FILEWRITE = static_cast<AVIResult>(0x8004406E);
inline constexpr AVIResult AVIERR_FILEOPEN = static_cast<AVIResult>(0x8004406F);
inline constexpr AVIResult AVIERR_COMPRESSOR = static_cast<AVIResult>(0x80044070);
inline constexpr AVIResult AVIERR_NOCOMPRESSOR = static_cast<AVIResult>(0x80044071);
inline constexpr AVIResult AVIERR_ERROR = static_cast<AVIResult>(0x800440C7);

inline constexpr uint32_t OF_WRITE = 0x0001;
inline constexpr uint32_t OF_CREATE = 0x1000;

inline constexpr uint32_t streamtypeVIDEO = AVIMakeFourCC('v', 'i', 'd', 's');
inline constexpr uint32_t AVIIF_KEYFRAME = 0x10;

inline constexpr uint32_t AVICOMPRESSF_INTERLEAVE = 0x01;
inline constexpr uint32_t AVICOMPRESSF_DATARATE = 0x02;
inline constexpr uint32_t AVICOMPRESSF_KEYFRAMES = 0x04;
inline constexpr uint32_t AVICOMPRESSF_VALID = 0x08;

inline constexpr uint32_t ICMF_CHOOSE_KEYFRAME = 0x01;
inline constexpr uint32_t ICMF_CHOOSE_DATARATE = 0x02;

struct AVIRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct AVISTREAMINFO {
    uint32_t fccType = 0;
    uint32_t fccHandler = 0;
    uint32_t dwFlags = 0;
    uint32_t dwCaps = 0;
    uint16_t wPriority = 0;
    uint16_t wLanguage = 0;
    uint32_t dwScale = 0; // seconds per sample = dwScale / dwRate
    uint32_t dwRate = 0;
    uint32_t dwStart = 0;
    uint32_t dwLength = 0;
    uint32_t dwInitialFrames = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwQuality = 0;
    uint32_t dwSampleSize = 0;
    AVIRect rcFrame;
    uint32_t dwEditCount = 0;
    uint32_t dwFormatChangeCount = 0;
    char szName[64] = {};
};

struct AVICOMPRESSOPTIONS {
    uint32_t fccType = 0;
    uint32_t fccHandler = 0;
    uint32_t dwKeyFrameEvery = 0;  // 0: no key frames asked for beyond the first
    uint32_t dwQuality = 0;        // 0 to 10000; 0xFFFFFFFF: the compressor's default
    uint32_t dwBytesPerSecond = 0; // used with AVICOMPRESSF_DATARATE
    uint32_t dwFlags = 0;
    void* lpFormat = nullptr;
    uint32_t cbFormat = 0;
    void* lpParms = nullptr;
    uint32_t cbParms = 0;
    uint32_t dwInterleaveEvery = 0;
};

struct AVIFileObject;
struct AVIStreamObject;
using PAVIFILE = AVIFileObject*;
using PAVISTREAM = AVIStreamObject*;

// Counted: every Init needs its Exit. Files can be opened only between them.
void AVIFileInit();
void AVIFileExit();

// Opens a movie for `path` (8-bit, Windows-1250); `mode` must hold OF_CREATE and OF_WRITE.
// `handler` is ignored. The bytes go into a new file of a unique name beside `path` (a device is
// written directly); the file is finished when its last reference (the caller's and one per
// stream) is released, and only a file finished without any failure replaces the one at `path`.
// A failed or abandoned movie leaves the previous file at `path` untouched.
AVIResult AVIFileOpen(PAVIFILE* file, const char* path, uint32_t mode, const void* handler);
uint32_t AVIFileRelease(PAVIFILE file);
// AVIFileRelease that tells how finishing went: when this was the last reference, AVIERR_OK only
// if the movie is complete and in place (AVIERR_FILEWRITE otherwise); AVIERR_OK while streams
// still hold the file.
AVIResult AVIFileClose(PAVIFILE file);
// The movie is not wanted (a cancelled dialog, a failure of the caller's own): finishing removes
// what was written and keeps the previous file at the path.
void AVIFileAbandon(PAVIFILE file);
// The path and the system's reason of the latest file failure (Windows-1250); empty when none.
// Opening a file clears it.
const char* AVIFileLastFailureText();
// The system's reason of that failure alone ("No space left on device"); empty when none.
const char* AVIFileLastFailureReason();
// Whether the files opened from now on compress and store their samples on a thread of their
// own (the default), one per file: AVIStreamWrite without a byte count then copies the pictures
// and returns, and a failure of that work is the answer of the next AVIStreamWrite or of
// AVIFileClose. The file's bytes are the same either way.
void AVIFileSetEncoderThread(bool on);
bool AVIFileEncoderThread();

// A new video stream; possible until the first sample of the file is written.
AVIResult AVIFileCreateStream(PAVIFILE file, PAVISTREAM* stream, const AVISTREAMINFO* info);

// Asks the user for the compression options of each stream: the modal dialog `avi-options`
// (items `codec`, the four-character code; `quality`, 0 to 10000 or -1 for the default;
// `keyframes`, a key frame every that many samples, 0 for none; `datarate`, kilobytes per second,
// 0 for no limit). `flags` (ICMF_CHOOSE_...) enable the key-frame and data-rate items. True when
// confirmed; the options are then changed, and left as they were when cancelled.
bool AVISaveOptions(uintptr_t owner, uint32_t flags, int32_t streamCount, PAVISTREAM* streams,
                    AVICOMPRESSOPTIONS** options);
AVIResult AVISaveOptionsFree(int32_t count, AVICOMPRESSOPTIONS** options);

// A stream that compresses what is written to it into `source`.
AVIResult AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, const AVICOMPRESSOPTIONS* options,
                                  const void* handler);

// The picture format of the samples to come: a bitmap information header with its colour table.
// A compressed stream takes 8-, 16-, 24- and 32-bit uncompressed bitmaps; a file stream takes
// 24- and 32-bit ones and stores the samples as given.
AVIResult AVIStreamSetFormat(PAVISTREAM stream, int32_t position, const void* format, int32_t formatSize);

// Writes `samples` pictures (bitmap rows, bottom-up) from position `start` on; the buffer holds
// exactly that many pictures of the stream's format and is copied. With `bytesWritten` the call
// waits until the samples are stored; without it (and with the encoder thread) it returns once
// they are handed over, and a failure storing them is the answer of a later call.
AVIResult AVIStreamWrite(PAVISTREAM stream, int32_t start, int32_t samples, const void* buffer, int32_t bufferSize,
                         uint32_t flags, int32_t* samplesWritten, int32_t* bytesWritten);
uint32_t AVIStreamRelease(PAVISTREAM stream);
