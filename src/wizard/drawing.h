// Flat fills and one-pixel sunken borders in system colours, for the frame's separator, the
// wizard picture's edge and the progress bar.
#pragma once

#include <windows.h>

// Fills (x, y, width, height) with colour through the background colour of dc, which stays set.
void FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour);

// A one-pixel sunken edge along rect: top and left in the button-shadow colour, bottom and
// right in the button-highlight colour; with fill, the inside in the button-face colour.
void DrawSunkenFrame(HDC dc, const RECT& rect, bool fill);

// DrawSunkenFrame, filled, along the rectangle of the dialog's control id; nothing without
// that control.
void DrawControlFrame(HWND dialog, HDC dc, int id);

// The control's window rectangle in the dialog's client coordinates; false without the control.
bool ControlRectInDialog(HWND dialog, int id, RECT* rect);
