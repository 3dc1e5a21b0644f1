#pragma once
// The compression dialog belongs to the system, not to the program that asks for it: it speaks
// the language of the user's locale (LC_ALL, LC_MESSAGES, LANG, as the C library orders them),
// whatever language the program itself was started in.
#include <string_view>

enum class AVIDialogText { Title, Ok, Cancel, Compressor, Code, Quality, KeyFrames, DataRate, FullFrames };

// The text in the locale's language: Hungarian for a "hu" locale, English otherwise.
std::string_view AVIDialogTextOf(AVIDialogText text);
// The same choice from a locale name as the environment gives it ("hu_HU.UTF-8", "C", "").
std::string_view AVIDialogTextOf(AVIDialogText text, std::string_view locale);
