#pragma once
// An optional export for the host's script: the add-on's state as text blocks ("tasks",
// "palette", "settings", "chart", "profiles"), one line each, 8-bit code page. Null for an unknown block.
extern "C" const char* BauvistaDescribe(const char* what);
