// Flat fills and sunken borders.
#include "wizard/drawing.h"

void FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  SetBkColor(dc, colour);
  const RECT rect = {x, y, x + width, y + height};
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void DrawSunkenFrame(HDC dc, const RECT& rect, bool fill) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (fill) FillSolidRect(dc, rect.left + 1, rect.top + 1, w - 2, h - 2, GetSysColor(COLOR_BTNFACE));
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  FillSolidRect(dc, rect.left, rect.top, w - 1, 1, shadow);
  FillSolidRect(dc, rect.left, rect.top, 1, h - 1, shadow);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  FillSolidRect(dc, rect.left, rect.bottom - 1, w, 1, highlight);
  FillSolidRect(dc, rect.right - 1, rect.top, 1, h, highlight);
}

bool ControlRectInDialog(HWND dialog, int id, RECT* rect) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr || !GetWindowRect(control, rect)) return false;
  // Both corners, so that the rectangle keeps its size whatever the dialog's frame.
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(rect), 2);
  return true;
}

void DrawControlFrame(HWND dialog, HDC dc, int id) {
  RECT rect;
  if (ControlRectInDialog(dialog, id, &rect)) DrawSunkenFrame(dc, rect, true);
}
