// The one way out for a condition the program cannot continue from: a box,
// then the C library's exit with code -1 so that exit-time handlers still run.
#pragma once

// Returns at once when the condition holds; otherwise shows the text under
// "FATAL ERROR" and ends the process with -1.
void FatalCheck(bool condition, const char* text);

[[noreturn]] void FatalError(const char* text);

// The engine's own error box; the caller ends the process after it.
void ShowErrorBox(const char* caption, const char* text);

// Shown when the heap cannot supply a block the engine depends on.
extern const char* const kOutOfMemoryText;

// Returns p, or ends through the fatal box when the allocation failed.
void* CheckAllocation(void* p);
