#pragma once
// What the last file's finishing came to, kept past the file itself for AVIFileClose and the
// failure text.
#include "avifile/AVIFile.h"

#include <string>

void AVISetLastFinishResult(AVIResult result);
AVIResult AVILastFinishResult();
// "path: reason" and the reason alone, in UTF-8; the latest failure's replaces an earlier one.
void AVISetLastFailure(const std::string& utf8Text, const std::string& utf8Reason);
