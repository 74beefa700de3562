// The splitter's painting: the bar, its hot spot and the drag outline, and the cursors and
// the hot spot's hover look (units of FcSplit.h).
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "controls/FcSplit.h"
#include "platform/Forms.h"
#include "platform/Guards.h"

// ---- Cursor and hover ------------------------------------------------------------------------------

void TFcSplitter::WMSetCursor(TMessage& m) {
  POINT p = GetClientCursorPos();
  bool handled = false;
  if (PtInRect(&barRect_, p) && !lockBar_) {
    bool hot = InVisibleHotSpot(p);
    int which = orientation_ == orVertical ? (hot ? ckVertHotSpot : ckVert) : (hot ? ckHorzHotSpot : ckHorz);
    HCURSOR cursor = cursors_[which];
    if (!cursor) cursor = Screen->Cursors(orientation_ == orVertical ? crVSplit : crHSplit);
    ::SetCursor(cursor);
    m.Result = 1;
    handled = true;
  }
  if (hotSpotVisible_) TrackHotSpotHover();
  if (!handled) Inherited(m);
}

void TFcSplitter::TrackHotSpotHover() {
  if (!HandleAllocated()) return;
  POINT p = GetClientCursorPos();
  if (PtInRect(&hotSpotRect_, p)) {
    if (hotSpotDrawnPlain_ || hotSpotDirection_ == hsdBoth) {
      DrawHotSpot(true, p);
      hotSpotDrawnPlain_ = false;
    }
  } else if (!hotSpotDrawnPlain_) {
    DrawHotSpot(false, p);
    hotSpotDrawnPlain_ = true;
  }
}

void TFcSplitter::CMMouseLeave(TMessage& m) {
  Inherited(m);
  if (hotSpotVisible_) TrackHotSpotHover();
}

void TFcSplitter::WMShowWindow(TMessage& m) {
  Inherited(m);
  if (ComponentState().Contains(csDestroying)) return;
  panes_[0]->Invalidate();
  panes_[1]->Invalidate();
}

// ---- Painting ---------------------------------------------------------------------------------------

void TFcSplitter::Paint() {
  TFcCustomPanel::Paint();
  DrawSplitterBar();
}

void TFcSplitter::DrawSplitterBar() {
  if (IsRectEmpty(&barRect_)) return;
  // Outside painting the bar is painted by the next WM_PAINT.
  if (!Canvas()->HandleAllocated()) {
    if (HandleAllocated()) InvalidateRect(Handle(), &barRect_, FALSE);
    return;
  }
  TCanvas* canvas = Canvas();
  const RECT& bar = barRect_;
  if (splitterStyle_ == ssGroove || splitterStyle_ == ssBump) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(bar);
    TFrameStyle band = splitterStyle_ == ssGroove ? fsStatus : fsPopup;
    if (orientation_ == orHorizontal) {
      int m = bar.left + (bar.right - bar.left) / 2;
      PaintStyledRect(canvas, RECT{m - 3, bar.top, m, bar.bottom}, band);
      PaintStyledRect(canvas, RECT{m, bar.top, m + 3, bar.bottom}, band);
    } else {
      int m = bar.top + (bar.bottom - bar.top) / 2;
      PaintStyledRect(canvas, RECT{bar.left, m - 3, bar.right, m}, band);
      PaintStyledRect(canvas, RECT{bar.left, m, bar.right, m + 3}, band);
    }
  } else if (splitterStyle_ == ssGroupBar && useGradients_) {
    PaintBarBackground(canvas, bar, ThemeAware(), gradientColorAdjustment_, Color(), gradientPath_);
  }
  if (hotSpotVisible_) {
    PaintHotSpot(canvas, false, POINT{-1, -1});
    hotSpotDrawnPlain_ = true;
  }
}

void TFcSplitter::DrawHotSpot(bool highlighted, POINT mousePos) {
  if (!HandleAllocated() || IsRectEmpty(&hotSpotRect_)) return;
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  TScopeExit release([canvas] { canvas->FreeHandle(); });
  PaintHotSpot(canvas, highlighted, mousePos);
}

void TFcSplitter::PaintHotSpot(TCanvas* canvas, bool highlighted, POINT mouse) {
  const RECT r = hotSpotRect_;
  if (IsRectEmpty(&r)) return;
  const bool vertical = orientation_ == orHorizontal;  // the bar runs down
  const bool open = !hotSpotClosed_;
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;

  RECT inside = PaintRectSides(canvas, r, clBtnShadow, sdAllSides, clBtnShadow);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(inside);
  if (highlighted) {
    RECT lit = inside;
    if (hotSpotDirection_ == hsdBoth && open) {
      bool firstHalf = vertical ? mouse.y < cy : mouse.x < cx;
      if (vertical)
        (firstHalf ? lit.bottom : lit.top) = cy;
      else
        (firstHalf ? lit.right : lit.left) = cx;
    }
    canvas->Brush()->SetColor(hotSpotHighlight_);
    canvas->FillRect(lit);
  }
  PaintRectSides(canvas, inside, clBtnHighlight, TSides{sdLeft, sdTop}, clNone);

  if (hotSpotDirection_ == hsdBoth && open) {
    canvas->Pen()->SetColor(clBtnShadow);
    if (vertical) {
      canvas->MoveTo(inside.left, cy);
      canvas->LineTo(inside.right, cy);
      canvas->Pen()->SetColor(clBtnHighlight);
      canvas->MoveTo(inside.left + 1, cy - 1);
      canvas->LineTo(inside.right - 1, cy - 1);
    } else {
      canvas->MoveTo(cx, inside.top);
      canvas->LineTo(cx, inside.bottom);
      canvas->Pen()->SetColor(clBtnHighlight);
      canvas->MoveTo(cx - 1, inside.top + 1);
      canvas->LineTo(cx - 1, inside.bottom - 1);
    }
  }

  // Two arrows 8 pixels in from the ends, pointing where a click moves the bar: toward the
  // start ("back") or toward the end.
  bool firstBack, secondBack;
  switch (hotSpotDirection_) {
    case hsdMin: firstBack = secondBack = open; break;
    case hsdMax: firstBack = secondBack = !open; break;
    default:
      if (open) {
        firstBack = true;
        secondBack = false;
      } else {
        firstBack = secondBack = closedToMax_;
      }
      break;
  }
  const int start = vertical ? r.top : r.left;
  const int end = vertical ? r.bottom : r.right;
  const int middle = vertical ? cx : cy;
  auto arrow = [&](int at, bool back) {
    // 5 pixels along the bar, 3 across it.
    std::vector<POINT> points;
    int tip = back ? middle - 1 : middle + 1, base = back ? middle + 1 : middle - 1;
    if (vertical)
      points = {{tip, at + 2}, {base, at}, {base, at + 4}};
    else
      points = {{at + 2, tip}, {at, base}, {at + 4, base}};
    canvas->Pen()->SetColor(clHighlight);
    canvas->Brush()->SetColor(clHighlight);
    canvas->Polygon(points);
  };
  arrow(start + 8, firstBack);
  arrow(end - 8 - 5, secondBack);

  // The grip: dots along the centre line.
  const int length = end - start;
  for (int i = 0; i <= (length - 32) / 3 && length >= 32; ++i) {
    int along = start + 15 + 3 * i;
    int centre = vertical ? cy : cx;
    if (hotSpotDirection_ == hsdBoth && open && std::abs(along - centre) <= 3) continue;
    if (vertical) {
      canvas->SetPixels(middle, along, clHighlightText);
      canvas->SetPixels(middle + 1, along + 1, clHighlight);
    } else {
      canvas->SetPixels(along, middle, clHighlightText);
      canvas->SetPixels(along + 1, middle + 1, clHighlight);
    }
  }
}

// ---- Drag outline ------------------------------------------------------------------------------------

void TFcSplitter::DrawDragBar(int position) {
  if (realTimeDrag_ || !HandleAllocated()) return;
  const int b = BorderSize();
  POINT at = orientation_ == orHorizontal ? POINT{b + position, b} : POINT{b, b + position};
  at = ClientToScreen(at);
  TWindowDC screen(nullptr);
  TSelectObject brush(screen, dragBrush_.Get());
  PatBlt(screen, at.x, at.y, barRect_.right - barRect_.left, barRect_.bottom - barRect_.top, PATINVERT);
}
