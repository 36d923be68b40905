// The progress display of a language build, drawn straight onto the main
// window. Portable interface; the native test build records the calls.
#pragma once

#include <cstdint>

void BeginLanguageDisplay(const char* languageName);
void DrawProgressStep(int fillEdge, const char* text);
void StatusLine(const char* text, int left, int right);
void StatusDone();
void PlaceCounterField();
void DrawCounter(int32_t value);
void EndLanguageDisplay();
