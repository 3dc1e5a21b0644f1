#include "movie/IMovieFileCreator.h"

#include "bytes/FixedText.h"

IMovieFileCreator::IMovieFileCreator(int32_t frames, int16_t rate) : frameCount(frames), frameRate(rate) {}

IMovieFileCreator::~IMovieFileCreator() = default;

void IMovieFileCreator::SetCaption(std::string_view text) { BKCopyText(caption, text); }
