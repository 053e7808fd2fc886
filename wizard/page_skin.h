// The painted panel along the left edge of every page: the large watermark on welcome, choice
// and finish pages; the smaller picture with the flow's step list on all others.
#pragma once
#include <windows.h>

#include "wizard/setup_mode.h"

// The step lists hold at most nine names; each name lives in a buffer of this size.
constexpr int kMaxSteps = 9;
constexpr int kStepNameSize = 256;

// Step index of pages that show the large watermark and no list.
constexpr int kNoStep = -1;

class PageSkin {
 public:
  // Loads the step names of the four lists from the string table.
  PageSkin();
  // Releases the step names, both markers, both fonts and the two scaled pictures.
  ~PageSkin();
  PageSkin(const PageSkin&) = delete;
  PageSkin& operator=(const PageSkin&) = delete;

  // Loads folder\Watermark.bmp and folder\WatermarkInterior.bmp; a file that cannot be loaded
  // leaves its picture empty and the panel unpainted.
  void LoadBitmaps(const char* folder);

  // Answers a page's WM_PAINT: the panel for the step list `list` (a SetupMode) with `step`
  // as the current step, or the large watermark for kNoStep.
  void Paint(HWND pageWindow, int list, int step);

  // In pixels of a page's client area; set on the first paint of any page. The frame reads
  // it to repaint the panel without erasing when it switches pages.
  RECT panel = {0, 0, 0, 0};
  HBITMAP doneMarker = nullptr;
  HBITMAP currentMarker = nullptr;
  HBITMAP watermark = nullptr;
  HBITMAP interiorWatermark = nullptr;
  HBITMAP scaledWatermark = nullptr;
  HBITMAP scaledInterior = nullptr;
  HFONT normalFont = nullptr;
  HFONT boldFont = nullptr;
  // Owned names, each list ended by a null entry.
  char* stepLists[kSetupModeCount][kMaxSteps + 1] = {};
  int stepCounts[kSetupModeCount] = {8, 5, 5, 4};

 private:
  void PrepareOnFirstPaint(HWND pageWindow, HDC paintDc);
  void DrawStepList(HDC target, HDC source, int list, int step) const;
};

// The one skin of the process (app/globals.cpp).
extern PageSkin pageSkin;
