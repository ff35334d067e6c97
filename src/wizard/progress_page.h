// The progress page: files installed in timer ticks (BLOCK_INSTALL_PACING), the current
// file and a block bar.
#pragma once

#include <windows.h>

#include <cstdint>

// The page's timer: 100 ms before the first tick of one file per tick (the pacing's gap
// before that of slices), then the pacing's gap after each.
constexpr UINT_PTR INSTALL_TIMER_ID = 11;
constexpr UINT FIRST_STEP_DELAY_MS = 100;
// The current file's line shows this many characters (ShortenPath).
constexpr uint32_t CURRENT_FILE_CHARS = 30;

// The progress shown, 0 to 100 (the engine's PercentDone never gives more); the bar is drawn
// at once when it changes.
void SetProgress(uint32_t percent);
// Shows path, shortened, as the file being installed.
void ShowCurrentFile(const char* path);
// Draws the percentage and the bar of the page into dc (the page's own when null).
void DrawProgressBar(HWND page, HDC dc);
