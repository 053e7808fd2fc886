#include "wizard/page_skin.h"

#include <shlwapi.h>

#include <new>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

constexpr UINT kStepTexts[kSetupModeCount][kMaxSteps] = {
    {IDS_STEP_WELCOME, IDS_STEP_LICENSE, IDS_STEP_FOLDER, IDS_STEP_SETUP_TYPE,
     IDS_STEP_INSTALL_COMPONENTS, IDS_STEP_INSTALL_SUMMARY, IDS_STEP_INSTALL, IDS_STEP_FINISH},
    {IDS_STEP_WELCOME, IDS_STEP_MODIFY_COMPONENTS, IDS_STEP_MODIFY_SUMMARY, IDS_STEP_MODIFY,
     IDS_STEP_FINISH},
    {IDS_STEP_WELCOME, IDS_STEP_UPDATE_COMPONENTS, IDS_STEP_UPDATE_SUMMARY, IDS_STEP_UPDATE,
     IDS_STEP_FINISH},
    {IDS_STEP_WELCOME, IDS_STEP_UNINSTALL_SUMMARY, IDS_STEP_UNINSTALL, IDS_STEP_FINISH},
};

// The watermark files are drawn at this size and stretched to the panel once.
constexpr int kPictureWidth = 164;
constexpr int kPictureHeight = 314;
// The panel takes this share of the page's width: 164 of 497 pixels at the design size.
constexpr int kPanelShare = 164;
constexpr int kPanelShareOf = 497;

// The message font is read with the metrics of the systems the setup runs on: 340 bytes.
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "non-client metrics of Windows 98 to XP");

constexpr int kMarkerSize = 16;
constexpr COLORREF kMarkerTransparent = RGB(255, 0, 255);
constexpr COLORREF kStepTextColour = RGB(255, 255, 255);
constexpr int kLineGap = 7;      // pitch of the list: line height + 7
constexpr int kListMargin = 5;   // left and right inset of each line
constexpr int kTabIndent = 10;   // per leading tab of a step name

HBITMAP LoadPicture(const char* folder, const char* name) {
  char path[MAX_PATH];
  if (!CopyText(path, sizeof path, folder)) return nullptr;
  if (!PathAppendA(path, name)) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

// A copy of the picture stretched to size; the loaded picture is released either way.
HBITMAP ScalePicture(HDC paintDc, HBITMAP* picture, int width, int height) {
  if (!*picture) return nullptr;
  HBITMAP scaled = CreateCompatibleBitmap(paintDc, width, height);
  HDC to = CreateCompatibleDC(paintDc);
  HDC from = CreateCompatibleDC(paintDc);
  if (scaled && to && from) {
    HGDIOBJ oldTo = SelectObject(to, scaled);
    HGDIOBJ oldFrom = SelectObject(from, *picture);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  DeleteObject(*picture);
  *picture = nullptr;
  return scaled;
}

}  // namespace

PageSkin::PageSkin() {
  for (int list = 0; list < kSetupModeCount; ++list) {
    for (int i = 0; i < stepCounts[list]; ++i) {
      char* name = new (std::nothrow) char[kStepNameSize];
      if (!name) break;
      LoadText(kStepTexts[list][i], name);
      stepLists[list][i] = name;
    }
  }
}

PageSkin::~PageSkin() {
  for (auto& list : stepLists) {
    for (char*& name : list) {
      delete[] name;
      name = nullptr;
    }
  }
  const HGDIOBJ objects[] = {doneMarker,      currentMarker,  normalFont, boldFont,
                             scaledWatermark, scaledInterior, watermark,  interiorWatermark};
  for (HGDIOBJ object : objects) {
    if (object) DeleteObject(object);
  }
}

void PageSkin::LoadBitmaps(const char* folder) {
  watermark = LoadPicture(folder, "Watermark.bmp");
  interiorWatermark = LoadPicture(folder, "WatermarkInterior.bmp");
}

void PageSkin::PrepareOnFirstPaint(HWND pageWindow, HDC paintDc) {
  RECT client;
  GetClientRect(pageWindow, &client);
  panel.left = 0;
  panel.top = 0;
  panel.right = client.right * kPanelShare / kPanelShareOf;
  panel.bottom = client.bottom;

  doneMarker = LoadBitmapA(instanceHandle, MAKEINTRESOURCEA(IDB_STEP_DONE));
  currentMarker = LoadBitmapA(instanceHandle, MAKEINTRESOURCEA(IDB_STEP_CURRENT));

  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    LOGFONTA font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(10, GetDeviceCaps(paintDc, LOGPIXELSY), 72);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    normalFont = CreateFontIndirectA(&font);
    font.lfWeight = FW_BOLD;
    boldFont = CreateFontIndirectA(&font);
  }

  const int width = panel.right - panel.left;
  const int height = panel.bottom - panel.top;
  scaledWatermark = ScalePicture(paintDc, &watermark, width, height);
  scaledInterior = ScalePicture(paintDc, &interiorWatermark, width, height);
}

void PageSkin::DrawStepList(HDC target, HDC source, int list, int step) const {
  SetBkMode(target, TRANSPARENT);
  SetTextColor(target, kStepTextColour);
  SelectObject(target, boldFont);
  RECT measure = {-1000, -1000, -900, -900};  // far outside, so nothing shows
  const int h = DrawTextA(target, ".", -1, &measure, 0);

  const int n = stepCounts[list];
  int top = panel.bottom - n * (h + kLineGap) + 2;
  for (int i = 0; i < n && stepLists[list][i]; ++i) {
    RECT line = {kListMargin, top, panel.right - kListMargin, top + h};
    HBITMAP marker = nullptr;
    if (i == step) {
      SelectObject(target, boldFont);
      marker = currentMarker;
    } else if (i < step) {
      marker = doneMarker;
      SelectObject(target, normalFont);
    } else {
      SelectObject(target, normalFont);
    }
    if (marker) {
      HGDIOBJ old = SelectObject(source, marker);
      TransparentBlt(target, line.right - kMarkerSize, top + h / 2 - 8, kMarkerSize,
                     kMarkerSize, source, 0, 0, kMarkerSize, kMarkerSize, kMarkerTransparent);
      SelectObject(source, old);
    }
    const char* name = stepLists[list][i];
    while (*name == '\t') {
      line.left += kTabIndent;
      ++name;
    }
    DrawTextA(target, name, -1, &line, 0);
    top += h + kLineGap;
  }
}

void PageSkin::Paint(HWND pageWindow, int list, int step) {
  PAINTSTRUCT paint;
  HDC paintDc = BeginPaint(pageWindow, &paint);
  if (!paintDc) return;
  if (!doneMarker) PrepareOnFirstPaint(pageWindow, paintDc);

  const int width = panel.right - panel.left;
  const int height = panel.bottom - panel.top;
  HDC offscreen = CreateCompatibleDC(paintDc);
  HDC source = CreateCompatibleDC(paintDc);
  HBITMAP canvas = CreateCompatibleBitmap(paintDc, width, height);
  if (offscreen && source && canvas) {
    HGDIOBJ oldCanvas = SelectObject(offscreen, canvas);
    HGDIOBJ oldFont = GetCurrentObject(offscreen, OBJ_FONT);
    if (step == kNoStep) {
      if (scaledWatermark) {
        HGDIOBJ old = SelectObject(source, scaledWatermark);
        BitBlt(offscreen, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        BitBlt(paintDc, 0, 0, width, height, offscreen, 0, 0, SRCCOPY);
      }
    } else if (list >= 0 && list < kSetupModeCount) {
      if (scaledInterior) {
        HGDIOBJ old = SelectObject(source, scaledInterior);
        BitBlt(offscreen, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
      } else {
        // Without the picture the page's own background stands behind the list.
        RECT all = {0, 0, width, height};
        FillRect(offscreen, &all, GetSysColorBrush(COLOR_BTNFACE));
      }
      DrawStepList(offscreen, source, list, step);
      BitBlt(paintDc, 0, 0, width, height, offscreen, 0, 0, SRCCOPY);
    }
    SelectObject(offscreen, oldFont);
    SelectObject(offscreen, oldCanvas);
  }
  EndPaint(pageWindow, &paint);
  if (canvas) DeleteObject(canvas);
  if (source) DeleteDC(source);
  if (offscreen) DeleteDC(offscreen);
}
