// The tab control's shapes and painting: tab polygons, the orientation transform, the region
// cache, outline commands with the card's shadow, the off-screen paint, the drop marker, and
// the scroller and close button (see FcTabs.h).
#include <algorithm>
#include <climits>

#include "controls/FcTabs.h"
#include "platform/Themes.h"
#include "resources/ResourceIds.h"

namespace {

bool Horizontal(TFcTabOrientation o) { return o == toTop || o == toBottom; }

RECT Normalized(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

size_t ShapePoints(TFcTabStyle style) {
  switch (style) {
    case tsDoubleSlant: return 4;
    case tsRoundCorners: return 6;
    default: return 5;
  }
}

// A caption line split at its accelerator: the text before, the underlined character, the
// rest ("&&" is a plain "&" in each).
struct TCaptionPieces {
  std::string before, accel, after;
};

std::string Plain(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) plain += text[++i];
    else if (text[i] != '&') plain += text[i];
  }
  return plain;
}

TCaptionPieces SplitAccelerator(const std::string& line) {
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] != '&') continue;
    if (line[i + 1] == '&') {
      ++i;
      continue;
    }
    return TCaptionPieces{Plain(line.substr(0, i)), line.substr(i + 1, 1), Plain(line.substr(i + 2))};
  }
  return TCaptionPieces{Plain(line), "", ""};
}

SIZE Extent(HDC dc, const std::string& text) {
  SIZE s{0, 0};
  if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
  return s;
}

}  // namespace

// ---- Shapes and the transform -----------------------------------------------------------------

std::vector<POINT> TabPolygon(TFcTabStyle style, const RECT& d, int cutCornerSize) {
  LONG L = d.left, T = d.top, R = d.right, B = d.bottom, h = B - T, c = cutCornerSize;
  switch (style) {
    case tsSingleSlant: return {{L, B}, {L, T + 2}, {L + 2, T}, {R - h, T}, {R, B}};
    case tsDoubleSlant: return {{L, B}, {L + h, T}, {R - h, T}, {R, B}};
    case tsCutCorner: return {{L, B}, {L, T}, {R - c, T}, {R, T + c}, {R, B}};
    case tsRoundCorners: return {{L, B}, {L, T + 2}, {L + 2, T}, {R - 2, T}, {R, T + 2}, {R, B}};
  }
  return {};
}

POINT TFcTabTransform::Map(POINT p) const {
  const RECT& a = Area;
  bool standard = Sequence == tsStandard;
  switch (Orientation) {
    case toTop: return POINT{p.x + (standard ? a.left : a.right) - Offset, p.y + a.top};
    case toBottom: return POINT{p.x + (standard ? a.left : a.right) - Offset, a.bottom - p.y};
    case toLeft: return standard ? POINT{p.y + a.left, a.bottom + Offset - p.x} : POINT{p.y + a.left, Offset + a.top - p.x};
    case toRight: return standard ? POINT{a.right - p.y, p.x + a.top - Offset} : POINT{a.right - p.y, a.bottom + p.x - Offset};
  }
  return p;
}

RECT TFcTabTransform::Map(const RECT& r) const {
  POINT a = Map(POINT{r.left, r.top}), b = Map(POINT{r.right, r.bottom});
  return Normalized(RECT{a.x, a.y, b.x, b.y});
}

// ---- Region cache ----------------------------------------------------------------------------

HRGN TFcTabRegionCache::Find(const RECT& rect) const {
  for (const TItem& item : items_)
    if (EqualRect(&item.rect, &rect)) return item.region.Get();
  return nullptr;
}

void TFcTabRegionCache::Add(const RECT& rect, HRGN region) {
  auto it = std::find_if(items_.begin(), items_.end(), [&](const TItem& item) { return EqualRect(&item.rect, &rect); });
  TItem item;
  if (it != items_.end()) {
    item = std::move(*it);
    items_.erase(it);
  }
  item.rect = rect;
  item.region.Reset(region);
  items_.insert(items_.begin(), std::move(item));
  if (capacity_ != -1 && Count() > capacity_) items_.pop_back();
}

void TFcTabRegionCache::SetCapacity(int value) {
  if (value == 0 || value < -1) throw EFcTabError(LoadResString(IDS_FC_TAB_CACHE_CAPACITY));
  capacity_ = value;
  if (capacity_ != -1)
    while (Count() > capacity_) items_.pop_back();
}

// ---- Outlines ---------------------------------------------------------------------------------

bool TFcOutline::HasShadow() const {
  for (size_t i = 0; i < codes_.size(); i += codes_[i] >= ocFlatColor ? 3 : 1)
    if (codes_[i] == ocShadow30 || codes_[i] == ocShadow15) return true;
  return false;
}

COLORREF ShadowPixel(COLORREF pixel, int weight) {
  auto channel = [&](BYTE c) { return static_cast<BYTE>((c * (255 - weight) + 127) / 255); };
  return RGB(channel(GetRValue(pixel)), channel(GetGValue(pixel)), channel(GetBValue(pixel)));
}

void PlayOutline(const TFcOutline& outline, TPixelBuffer& target, const TPixelBuffer* parent, TColor flatColor) {
  const std::vector<int>& codes = outline.Codes();
  HDC dc = target.DC();
  COLORREF current = ColorToRGB(flatColor);
  TGdiObject<HPEN> pen;
  HGDIOBJ original = nullptr;
  POINT pos{0, 0};
  for (size_t i = 0; i < codes.size();) {
    int code = codes[i];
    int x = 0, y = 0;
    if (code >= ocFlatColor && i + 2 < codes.size()) {
      x = codes[i + 1];
      y = codes[i + 2];
    }
    i += code >= ocFlatColor ? 3 : 1;
    switch (code) {
      case ocPen: {
        TGdiObject<HPEN> next(CreatePen(PS_SOLID, 1, current));
        HGDIOBJ old = SelectObject(dc, next.Get());
        if (!original) original = old;
        pen = std::move(next);
        break;
      }
      case ocFlatColor: current = ColorToRGB(flatColor); break;
      case ocMoveTo:
        MoveToEx(dc, x, y, nullptr);
        pos = POINT{x, y};
        break;
      case ocLineTo:
        LineTo(dc, x, y);
        pos = POINT{x, y};
        break;
      case ocShadow30:
      case ocShadow15: {
        GdiFlush();
        int weight = code == ocShadow30 ? 30 : 15;
        bool vertical = pos.x == x;
        int from = vertical ? std::min<int>(pos.y, y) : std::min<int>(pos.x, x);
        int to = vertical ? std::max<int>(pos.y, y) : std::max<int>(pos.x, x);
        for (int k = from; k <= to; ++k) {
          int px = vertical ? x : k, py = vertical ? k : y;
          if (px < 0 || py < 0 || px >= target.Width() || py >= target.Height()) continue;
          COLORREF under =
              parent && px < parent->Width() && py < parent->Height() ? parent->Pixel(px, py) : target.Pixel(px, py);
          target.SetPixel(px, py, ShadowPixel(under, weight));
        }
        MoveToEx(dc, x, y, nullptr);
        pos = POINT{x, y};
        break;
      }
      default: break;
    }
  }
  if (original) SelectObject(dc, original);
}

// ---- Painting ---------------------------------------------------------------------------------

HFONT TFcCustomTabControl::TabFont(bool bold, bool underline) {
  TGdiObject<HFONT>& slot = fonts_[bold ? 1 : 0][underline ? 1 : 0];
  if (!slot.Get()) {
    LOGFONTA lf{};
    TFontStyles style = tabFont_->Style();
    lf.lfHeight = tabFont_->Height();
    lf.lfWeight = bold || style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.Contains(fsItalic);
    lf.lfUnderline = underline || style.Contains(fsUnderline);
    lf.lfStrikeOut = style.Contains(fsStrikeOut);
    lf.lfCharSet = DEFAULT_CHARSET;
    if (textOrientation_ == orVertical) lf.lfEscapement = lf.lfOrientation = tabOrientation_ == toRight ? 2700 : 900;
    lstrcpynA(lf.lfFaceName, tabFont_->Name().c_str(), LF_FACESIZE);
    slot.Reset(CreateFontIndirectA(&lf));
  }
  return slot.Get();
}

void TFcCustomTabControl::FreeTabFonts() {
  for (auto& pair : fonts_)
    for (auto& font : pair) font.Reset();
}

void TFcCustomTabControl::Invalidate() {
  hotRepaint_ = false;
  fullRepaint_ = true;
  TCustomControl::Invalidate();
}

void TFcCustomTabControl::Paint() {
  UpdateLayout();
  int w = Width(), h = Height();
  if (!buffer_ || buffer_->Width() != w || buffer_->Height() != h) {
    buffer_ = std::make_unique<TPixelBuffer>(nullptr, std::max(w, 1), std::max(h, 1));
    parentImage_.reset();
  }
  HDC dc = buffer_->DC();
  SelectClipRgn(dc, nullptr);
  clip_ = Canvas()->ClipRect();
  parentImagePainted_ = false;
  if (!bufferCanvas_) bufferCanvas_ = std::make_unique<TCanvas>();
  // A repaint of the strip for hot tracking alone leaves the card's shadow on the screen.
  skipShadow_ = hotRepaint_ && !fullRepaint_;

  {
    TCanvasBinding binding(bufferCanvas_.get(), dc);
    RECT all{0, 0, w, h};
    if (!DoPaintBackground(bufferCanvas_.get(), all)) {
      if (transparent_) {
        PaintParentOnDC(this, dc, false);
      } else {
        bufferCanvas_->Brush()->SetColor(backgroundColor_);
        bufferCanvas_->FillRect(all);
      }
    }
  }
  PlaceButtons();

  int count = tabs_->Count();
  if (count > 0 && showTabs_) {
    int start = -1;
    for (int i = 0; i < count && start < 0; ++i)
      if (tabs_->Items(i)->Visible && tabs_->Items(i)->Row == 0) start = i;
    if (start < 0) start = std::max(FirstShownIndex(), 0);
    int from = start == 0 ? count - 1 : start - 1;
    int backRow = rowCount_ - 1;
    // Back to front: each row's tabs, then the card layer that row stands on.
    for (int k = 0; k < count; ++k) {
      int i = (from - k + count) % count;
      TFcTabData* tab = tabs_->Items(i);
      if (i == tabIndex_ || !tab->Visible || i < firstVisibleTab_ || !IsTabFullyShown(i)) continue;
      while (tab->Row < backRow) DrawCard(backRow--);
      DrawTab(i);
    }
    while (backRow >= 1) DrawCard(backRow--);
    if (tabIndex_ >= 0 && tabIndex_ >= firstVisibleTab_ && IsTabFullyShown(tabIndex_)) DrawTab(tabIndex_);
  }
  DrawCard(0);

  BitBlt(Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
  hotRepaint_ = false;
  fullRepaint_ = false;
}

void TFcCustomTabControl::PlayRecorded() {
  const TPixelBuffer* parent = nullptr;
  if (outline_.HasShadow()) {
    if (!parentImagePainted_) {
      if (!parentImage_) parentImage_ = std::make_unique<TPixelBuffer>(nullptr, buffer_->Width(), buffer_->Height());
      PatBlt(parentImage_->DC(), 0, 0, buffer_->Width(), buffer_->Height(), WHITENESS);
      PaintParentOnDC(this, parentImage_->DC(), false);
      GdiFlush();
      parentImagePainted_ = true;
    }
    parent = parentImage_.get();
  }
  PlayOutline(outline_, *buffer_, parent, OutlineColor());
  outline_.Clear();
}

void TFcCustomTabControl::DrawCard(int row) {
  RECT card = CardRect(row);
  if (IsRectEmpty(&card) && !(card.right > card.left || card.bottom > card.top)) return;
  RECT fill = card;
  if (showTabs_) {
    fill.right += 1;
    fill.bottom += 1;
  }
  {
    TCanvasBinding binding(bufferCanvas_.get(), buffer_->DC());
    if (!DoPaintCardBackground(bufferCanvas_.get(), row, fill)) {
      TColor color = useColoredTabs_ && tabIndex_ >= 0 && tabIndex_ < tabs_->Count() ? tabs_->Items(tabIndex_)->Color : Color();
      bufferCanvas_->Brush()->SetColor(color);
      bufferCanvas_->FillRect(fill);
    }
  }
  if (showCardFrame_ && showTabs_) {
    RecordCardOutline(row, card);
    PlayRecorded();
  }
}

void TFcCustomTabControl::RecordCardOutline(int row, const RECT& card) {
  TFcOutline& o = outline_;
  // An axis-parallel line with both ends drawn.
  auto line = [&o](int x1, int y1, int x2, int y2) {
    if (x2 < x1 || y2 < y1) return;
    o.Add(ocMoveTo, x1, y1);
    o.Add(ocLineTo, y1 == y2 ? x2 + 1 : x2, y1 == y2 ? y2 : y2 + 1);
  };
  o.Add(ocFlatColor, 0, 0);
  o.Add(ocPen);
  bool shadow = showShadow_ && tabOrientation_ == toTop && tabSequence_ == tsStandard;
  int L = card.left, T = card.top, R = card.right, B = card.bottom;
  int frameR = shadow ? R - 2 : R, frameB = shadow ? B - 2 : B;

  // The side that meets the tabs, open under the selected tab when it stands on this card.
  int gapFrom = INT_MAX, gapTo = INT_MIN;
  if (tabIndex_ >= 0 && tabIndex_ < tabs_->Count() && tabs_->Items(tabIndex_)->Row == row &&
      tabIndex_ >= firstVisibleTab_ && IsTabFullyShown(tabIndex_)) {
    std::vector<POINT> shape = TabShape(tabIndex_);
    POINT a = shape.front(), b = shape.back();
    bool along = Horizontal(tabOrientation_);
    gapFrom = std::min(along ? a.x : a.y, along ? b.x : b.y);
    gapTo = std::max(along ? a.x : a.y, along ? b.x : b.y);
  }
  auto side = [&](bool horizontalLine, int fixed, int from, int to) {
    if (gapFrom > gapTo || gapTo < from || gapFrom > to) {
      horizontalLine ? line(from, fixed, to, fixed) : line(fixed, from, fixed, to);
      return;
    }
    if (horizontalLine) {
      line(from, fixed, std::min(gapFrom, to), fixed);
      line(std::max(gapTo, from), fixed, to, fixed);
    } else {
      line(fixed, from, fixed, std::min(gapFrom, to));
      line(fixed, std::max(gapTo, from), fixed, to);
    }
  };
  switch (tabOrientation_) {
    case toTop: side(true, T, L, frameR); break;
    case toBottom: side(true, frameB, L, frameR); break;
    case toLeft: side(false, L, T, frameB); break;
    case toRight: side(false, frameR, T, frameB); break;
  }
  if (showFullFrame_) {
    if (tabOrientation_ != toTop) line(L, T, frameR, T);
    if (tabOrientation_ != toRight) line(frameR, T, frameR, frameB);
    if (tabOrientation_ != toBottom) line(L, frameB, frameR, frameB);
    if (tabOrientation_ != toLeft) line(L, T, L, frameB);
  }
  if (shadow && !skipShadow_) {
    o.Add(ocMoveTo, R - 1, T + 1);
    o.Add(ocShadow30, R - 1, B - 1);
    o.Add(ocShadow30, L, B - 1);
    o.Add(ocMoveTo, R - 1, T);
    o.Add(ocShadow15, R, T);
    o.Add(ocShadow15, R, B);
    o.Add(ocShadow15, L, B);
    o.Add(ocShadow15, L, B - 1);
  }
}

void TFcCustomTabControl::RecordTabOutline(int index, const RECT&) {
  std::vector<POINT> p = TabShape(index);
  if (p.size() != ShapePoints(tabStyle_)) throw EFcTabError(LoadResString(IDS_FC_TAB_SHAPE_POINTS));
  TFcOutline& o = outline_;
  o.Add(ocFlatColor, 0, 0);
  o.Add(ocPen);
  if (tabStyle_ == tsRoundCorners) {
    o.Add(ocMoveTo, p[4].x, p[4].y);
    o.Add(ocLineTo, p[5].x, p[5].y);
    o.Add(ocMoveTo, p[4].x, p[4].y);
    o.Add(ocLineTo, p[3].x, p[3].y);
    o.Add(ocMoveTo, p[3].x, p[3].y);
    for (int k : {2, 1, 0}) o.Add(ocLineTo, p[static_cast<size_t>(k)].x, p[static_cast<size_t>(k)].y);
    return;
  }
  o.Add(ocMoveTo, p[0].x, p[0].y);
  for (size_t k = 1; k < p.size(); ++k) o.Add(ocLineTo, p[k].x, p[k].y);
}

void TFcCustomTabControl::DrawTab(int index) {
  RECT drawn = GetTabRect(index);
  RECT outer = drawn;
  InflateRect(&outer, 1, 1);
  RECT visible{};
  if (!IntersectRect(&visible, &outer, &clip_)) return;
  HDC dc = buffer_->DC();
  if (HRGN region = TabRegion(index)) {
    TSavedDC state(dc);
    if (!state.Saved()) throw EFcTabError(LoadResString(IDS_FC_TAB_SAVE_DC));
    SelectClipRgn(dc, region);
    {
      TCanvasBinding binding(bufferCanvas_.get(), dc);
      RECT area = drawn;
      area.right += 1;
      area.bottom += 1;
      if (!DoPaintTabBackground(bufferCanvas_.get(), index, area)) {
        TFcTabData* tab = tabs_->Items(index);
        TColor fill = useColoredTabs_ ? tab->Color : Color();
        TColor unselected = useColoredTabs_ ? tab->Color : tabColors_->Unselected();
        TColor shade = useColoredTabs_ ? DarkenColor(tab->Color, 30) : tabColors_->Shadow();
        TCanvas* canvas = bufferCanvas_.get();
        if (index == tabIndex_) {
          canvas->Brush()->SetColor(fill);
          canvas->FillRect(area);
        } else if (useGradients_ && DisplayHasFullColor()) {
          switch (tabOrientation_) {
            case toTop: FillRectGradient(canvas, area, gdVertical, shade, unselected, 1); break;
            case toBottom: FillRectGradient(canvas, area, gdVertical, unselected, shade, 1); break;
            case toLeft: FillRectGradient(canvas, area, gdHorizontal, shade, unselected, 1); break;
            case toRight: FillRectGradient(canvas, area, gdHorizontal, unselected, shade, 1); break;
          }
        } else {
          canvas->Brush()->SetColor(unselected);
          canvas->FillRect(area);
        }
      }
    }
    DrawTabContents(index, drawn);
    if (!state.Restore()) throw EFcTabError(LoadResString(IDS_FC_TAB_RESTORE_DC));
  }
  RecordTabOutline(index, drawn);
  PlayRecorded();
}

void TFcCustomTabControl::DrawTabContents(int index, const RECT& drawn) {
  TFcTabData* tab = tabs_->Items(index);
  HDC dc = buffer_->DC();
  bool vertical = textOrientation_ == orVertical;
  int W = drawn.right - drawn.left, H = drawn.bottom - drawn.top, C = cutCornerSize_;

  // The text rectangle, by style.
  RECT t = drawn;
  switch (tabStyle_) {
    case tsSingleSlant:
      InflateRect(&t, -1, -1);
      switch (tabOrientation_) {
        case toTop:
        case toBottom:
          t.right -= 2 * TabOverlap(tabStyle_, H) + 2;
          OffsetRect(&t, 2, 0);
          break;
        case toLeft:
          t.top += 2 * TabOverlap(tabStyle_, W) + 2;
          OffsetRect(&t, 0, -2);
          break;
        case toRight:
          t.bottom -= 2 * TabOverlap(tabStyle_, W) + 2;
          OffsetRect(&t, 0, 2);
          break;
      }
      break;
    case tsDoubleSlant:
      if (Horizontal(tabOrientation_)) {
        InflateRect(&t, 1, -1);
        InflateRect(&t, -TabOverlap(tabStyle_, H), 0);
      } else {
        InflateRect(&t, -1, 1);
        InflateRect(&t, 0, -TabOverlap(tabStyle_, W));
        t.bottom += 2;
      }
      break;
    case tsCutCorner:
      if (Horizontal(tabOrientation_)) {
        if (!vertical) InflateRect(&t, -(C + 3), -1);
        else InflateRect(&t, -4, -1);
        int more = vertical ? C + 3 : 3;
        if (tabOrientation_ == toTop) t.top += more;
        else t.bottom -= more;
        if (tabOrientation_ == toBottom) OffsetRect(&t, 0, 1);
      } else {
        if (!vertical) InflateRect(&t, -1, -4);
        else InflateRect(&t, -1, -(C + 3));
        int more = vertical ? 5 : C + 5;
        if (tabOrientation_ == toLeft) t.left += more;
        else t.right -= more;
        if (tabOrientation_ == toRight) OffsetRect(&t, 1, 0);
      }
      break;
    case tsRoundCorners:
      if (vertical) InflateRect(&t, -2, -4);
      else InflateRect(&t, -4, -2);
      break;
  }

  // The image, cut from the text rectangle on its side.
  if (images_ && tab->ImageIndex != -1) {
    int iw = images_->Width(), ih = images_->Height();
    RECT ir = t;
    switch (imagePosition_) {
      case ipLeft: ir.right = ir.left + iw; t.left += iw + imageMargin_; break;
      case ipRight: ir.left = ir.right - iw; t.right -= iw + imageMargin_; break;
      case ipTop: ir.bottom = ir.top + ih; t.top += ih + imageMargin_; break;
      case ipBottom: ir.top = ir.bottom - ih; t.bottom -= ih + imageMargin_; break;
      default: break;
    }
    bool useDisabled = !tab->Enabled && tab->DisabledIndex != -1;
    int image = useDisabled ? tab->DisabledIndex : tab->ImageIndex;
    bool greyed = !tab->Enabled && tab->DisabledIndex == -1;
    TCanvasBinding binding(bufferCanvas_.get(), dc);
    if (imagePosition_ == ipStretch) {
      TBitmap picture;
      images_->GetBitmap(image, &picture);
      bufferCanvas_->StretchDraw(ir, &picture);
    } else {
      int x = imageAlignment_ == haLeft ? ir.left
              : imageAlignment_ == haRight ? ir.right - iw
                                           : ir.left + (ir.right - ir.left - iw) / 2;
      int y = imageAlignmentVertical_ == vaTop ? ir.top
              : imageAlignmentVertical_ == vaBottom ? ir.bottom - ih
                                                    : ir.top + (ir.bottom - ir.top - ih) / 2;
      images_->Draw(bufferCanvas_.get(), x, y, image, !greyed);
    }
  }

  // The text colour and the bar by state; the bar lies under the caption.
  bool selected = index == tabIndex_;
  TColor bar = clNone, text = clNone;
  if (tab->Enabled && hotTrack_ && index == hotTab_) {
    text = DoGetTextColor(index, tsHotTrack, hotTrackStyle_ == htsText ? hotTrackColor_ : textColors_->Selected());
    if (hotTrackStyle_ == htsTab) {
      bar = hotTrackColor_;
      if (hotTrackColorType_ == htctComplement) {
        int hue = HueOfColor(hotTrackColor_);
        bar = Hsl240ToRgb(static_cast<BYTE>(hue < 120 ? hue + 120 : hue - 120), 240, 140);
      }
    }
  } else if (tab->Enabled && selected) {
    text = DoGetTextColor(index, tsSelected, textColors_->Selected());
    if (hotTrack_ && hotTrackStyle_ == htsTab) bar = tabColors_->HighlightBar();
  } else if (tab->Enabled) {
    text = DoGetTextColor(index, tsUnselected, textColors_->Unselected());
  }
  if (bar != clNone) {
    RECT b = drawn;
    InflateRect(&b, 1, 1);
    b.right += 1;
    b.bottom += 1;
    switch (tabOrientation_) {
      case toTop: b.bottom = b.top + 6; break;
      case toLeft: b.right = b.left + 6; break;
      case toBottom: b.top = b.bottom - 4; break;
      case toRight: b.left = b.right - 4; break;
    }
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(bar)));
    FillRect(dc, &b, brush);
  }
  if (tab->Enabled) {
    DrawCaption(index, t, text);
  } else {
    RECT shifted = t;
    OffsetRect(&shifted, 1, 1);
    DrawCaption(index, shifted, DoGetTextColor(index, tsDisabledHighlight, textColors_->DisabledHighlight()));
    DrawCaption(index, t, DoGetTextColor(index, tsDisabledShadow, textColors_->DisabledShadow()));
  }

  if (showFocusRect_ && selected && Focused()) {
    RECT f = t;
    if (Horizontal(tabOrientation_)) InflateRect(&f, 1, 0);
    else InflateRect(&f, 0, 1);
    if (tabStyle_ == tsRoundCorners) {
      switch (tabOrientation_) {
        case toTop: OffsetRect(&f, 0, 1); break;
        case toBottom: OffsetRect(&f, 0, -1); break;
        case toLeft: OffsetRect(&f, 2, 0); break;
        case toRight: OffsetRect(&f, -2, 0); break;
      }
    }
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &f);
  }
}

void TFcCustomTabControl::DrawCaption(int index, const RECT& r, TColor color) {
  TFcTabData* tab = tabs_->Items(index);
  if (tab->Caption.empty()) return;
  HDC dc = buffer_->DC();
  bool bold = boldCurrentTab_ && index == tabIndex_;
  HFONT font = TabFont(bold, false), underlined = TabFont(bold, true);
  TSelectObject selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(color));
  SetTextAlign(dc, TA_LEFT | TA_TOP);

  std::vector<TCaptionPieces> lines;
  std::vector<SIZE> sizes;
  int depth = 0;
  for (const std::string& line : CaptionLines(tab->Caption)) {
    lines.push_back(SplitAccelerator(line));
    SIZE s = Extent(dc, lines.back().before + lines.back().accel + lines.back().after);
    if (s.cy == 0) s.cy = Extent(dc, "A").cy;
    sizes.push_back(s);
    depth += s.cy;
  }
  bool vertical = textOrientation_ == orVertical;
  bool down = vertical && tabOrientation_ == toRight;
  int W = r.right - r.left, H = r.bottom - r.top;

  // Where each line starts and which way its text runs.
  auto draw = [&](int x, int y, const TCaptionPieces& p) {
    for (int piece = 0; piece < 3; ++piece) {
      const std::string& text = piece == 0 ? p.before : piece == 1 ? p.accel : p.after;
      if (text.empty()) continue;
      TSelectObject chosen(dc, piece == 1 ? underlined : font);
      TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
      int advance = Extent(dc, text).cx;
      if (!vertical) x += advance;
      else if (down) y += advance;
      else y -= advance;
    }
  };
  if (!vertical) {
    int y = textAlignmentVertical_ == vaTop ? r.top : textAlignmentVertical_ == vaBottom ? r.bottom - depth : r.top + (H - depth) / 2;
    for (size_t k = 0; k < lines.size(); ++k) {
      int cx = sizes[k].cx;
      int x = textAlignment_ == haLeft ? r.left : textAlignment_ == haRight ? r.right - cx : r.left + (W - cx) / 2;
      draw(x, y, lines[k]);
      y += sizes[k].cy;
    }
    return;
  }
  // Vertical text: the lines stack across the tab (the first where the glyphs' tops face),
  // each aligned along its run.
  int across = textAlignmentVertical_ == vaTop ? 0 : textAlignmentVertical_ == vaBottom ? W - depth : (W - depth) / 2;
  int x = down ? r.right - across : r.left + across;
  for (size_t k = 0; k < lines.size(); ++k) {
    int cx = sizes[k].cx;
    int offset = textAlignment_ == haLeft ? 0 : textAlignment_ == haRight ? H - cx : (H - cx) / 2;
    if (down)
      draw(x, r.top + offset, lines[k]);
    else
      draw(x, r.bottom - offset, lines[k]);
    x += down ? -sizes[k].cy : sizes[k].cy;
  }
}

TColor TFcCustomTabControl::DoGetTextColor(int tabIndex, TFcTextStyle style, TColor color) {
  if (OnGetTextColor) {
    bool handled = false;
    TColor chosen = color;
    OnGetTextColor(this, tabIndex, style, chosen, handled);
    if (handled) return chosen;
  }
  return color;
}

bool TFcCustomTabControl::DoPaintBackground(TCanvas* canvas, const RECT& rect) {
  bool handled = false;
  if (OnPaintBackground) OnPaintBackground(this, canvas, rect, handled);
  return handled;
}

bool TFcCustomTabControl::DoPaintCardBackground(TCanvas* canvas, int row, const RECT& rect) {
  bool handled = false;
  if (OnPaintCardBackground) OnPaintCardBackground(this, canvas, row, rect, handled);
  return handled;
}

bool TFcCustomTabControl::DoPaintTabBackground(TCanvas* canvas, int tabIndex, const RECT& rect) {
  bool handled = false;
  if (OnPaintTabBackground) OnPaintTabBackground(this, canvas, tabIndex, rect, handled);
  return handled;
}

// ---- Drop marker -----------------------------------------------------------------------------

RECT TFcCustomTabControl::DropMarkerPlace(int tabIndex) {
  RECT n = NormalDrawnRect(tabIndex);
  // Before the target when it lies before the selected tab, else after it.
  bool before = tabIndex < tabIndex_;
  bool standard = tabSequence_ == tsStandard;
  int edge = before == standard ? n.left : n.right;
  POINT p = Transform().Map(POINT{edge, (n.top + n.bottom) / 2});
  if (Horizontal(tabOrientation_)) return RECT{p.x - 4, p.y - 8, p.x + 4, p.y + 8};
  return RECT{p.x - 8, p.y - 4, p.x + 8, p.y + 4};
}

void TFcCustomTabControl::ShowDropMarker(int tabIndex) {
  if (!HandleAllocated() || tabIndex < 0 || tabIndex >= tabs_->Count()) return;
  RECT place = DropMarkerPlace(tabIndex);
  auto invert = [this](const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    TPixelBuffer marker(nullptr, w, h);
    RECT all{0, 0, w, h};
    TGdiObject<HBRUSH> face(CreateSolidBrush(ColorToRGB(clBtnShadow)));
    FillRect(marker.DC(), &all, face);
    TGdiObject<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
    TSelectObject brush(marker.DC(), black);
    TSelectObject pen(marker.DC(), GetStockObject(NULL_PEN));
    // Two small triangles pointing at each other across the marker's long side.
    std::vector<POINT> a, b;
    if (w < h) {
      a = {{0, 0}, {w, 0}, {w / 2, w / 2}};
      b = {{0, h}, {w, h}, {w / 2, h - w / 2}};
    } else {
      a = {{0, 0}, {0, h}, {h / 2, h / 2}};
      b = {{w, 0}, {w, h}, {w - h / 2, h / 2}};
    }
    Polygon(marker.DC(), a.data(), 3);
    Polygon(marker.DC(), b.data(), 3);
    TWindowDC window(Handle());
    BitBlt(window, r.left, r.top, w, h, marker.DC(), 0, 0, SRCINVERT);
  };
  if (!IsRectEmpty(&dropMarker_) && EqualRect(&dropMarker_, &place)) {
    invert(place);
    dropMarker_ = RECT{};
    return;
  }
  if (!IsRectEmpty(&dropMarker_)) invert(dropMarker_);
  invert(place);
  dropMarker_ = place;
}

// ---- Scroller ---------------------------------------------------------------------------------

TFcTabScroller::TFcTabScroller(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csOpaque};
  SetBounds(0, 0, 33, 17);
}

TMessageTable& TFcTabScroller::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_ERASEBKGND, Handler(&TFcTabScroller::WMEraseBkgnd));
    return t;
  }();
  return *table;
}

void TFcTabScroller::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TFcTabScroller::SetFrameColor(TColor value) {
  if (value == frameColor_) return;
  frameColor_ = value;
  Invalidate();
}

void TFcTabScroller::SetOrientation(TOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  Invalidate();
}

void TFcTabScroller::SetEnabledHalves(bool upRight, bool downLeft) {
  if (upRight == upRightEnabled_ && downLeft == downLeftEnabled_) return;
  upRightEnabled_ = upRight;
  downLeftEnabled_ = downLeft;
  Invalidate();
}

RECT TFcTabScroller::UpRightRect() const {
  if (orientation_ == orHorizontal) {
    int s = Height();
    return RECT{s - 1, 0, Width(), s};
  }
  int s = Width();
  return RECT{0, 0, s, s};
}

RECT TFcTabScroller::DownLeftRect() const {
  if (orientation_ == orHorizontal) {
    int s = Height();
    return RECT{0, 0, s, s};
  }
  int s = Width();
  return RECT{0, s - 1, s, Height()};
}

TFcTabScroller::THalf TFcTabScroller::HalfAt(int x, int y) const {
  POINT p{x, y};
  RECT up = UpRightRect(), down = DownLeftRect();
  if (PtInRect(&down, p)) return hDownLeft;
  if (PtInRect(&up, p)) return hUpRight;
  return hNone;
}

void TFcTabScroller::PaintHalf(THalf half, const RECT& rect) {
  bool enabled = half == hUpRight ? upRightEnabled_ : downLeftEnabled_;
  bool pressed = enabled && pressed_ == half && pressedLook_;
  TCanvas* canvas = Canvas();
  bool horizontal = orientation_ == orHorizontal;
  if (ThemeServicesEnabled()) {
    if (Themes::TThemeData theme = Themes::OpenTheme(Handle(), "SPIN")) {
      int part = horizontal ? (half == hUpRight ? SPNP_UPHORZ : SPNP_DOWNHORZ) : (half == hUpRight ? SPNP_UP : SPNP_DOWN);
      int state = !enabled ? UPS_DISABLED : pressed ? UPS_PRESSED : UPS_NORMAL;
      Themes::DrawThemeBackground(theme.get(), canvas->Handle(), part, state, rect);
      return;
    }
  }
  canvas->Brush()->SetColor(frameColor_);
  canvas->FrameRect(rect);
  RECT inner = rect;
  InflateRect(&inner, -1, -1);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(inner);
  int direction = horizontal ? (half == hUpRight ? adRight : adLeft) : (half == hUpRight ? adUp : adDown);
  PaintDirectionArrow(canvas, inner, false, enabled, pressed, direction);
}

void TFcTabScroller::Paint() {
  RECT all{0, 0, Width(), Height()};
  Canvas()->Brush()->SetColor(clBtnFace);
  Canvas()->FillRect(all);
  PaintHalf(hDownLeft, DownLeftRect());
  PaintHalf(hUpRight, UpRightRect());
}

void TFcTabScroller::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  pressed_ = HalfAt(x, y);
  pressedLook_ = pressed_ != hNone;
  Invalidate();
}

void TFcTabScroller::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (pressed_ == hNone) return;
  bool inside = HalfAt(x, y) == pressed_;
  if (inside != pressedLook_) {
    pressedLook_ = inside;
    Invalidate();
  }
}

void TFcTabScroller::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || pressed_ == hNone) return;
  THalf half = pressed_;
  bool inside = HalfAt(x, y) == half;
  pressed_ = hNone;
  pressedLook_ = false;
  Invalidate();
  if (!inside) return;
  if (half == hUpRight && upRightEnabled_ && OnUpRightClick) OnUpRightClick(this);
  if (half == hDownLeft && downLeftEnabled_ && OnDownLeftClick) OnDownLeftClick(this);
}

// ---- Close button -----------------------------------------------------------------------------

TFcTabCloseButton::TFcTabCloseButton(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csOpaque};
  SetBounds(0, 0, 17, 17);
}

TMessageTable& TFcTabCloseButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_ERASEBKGND, Handler(&TFcTabCloseButton::WMEraseBkgnd));
    return t;
  }();
  return *table;
}

void TFcTabCloseButton::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TFcTabCloseButton::SetFrameColor(TColor value) {
  if (value == frameColor_) return;
  frameColor_ = value;
  Invalidate();
}

void TFcTabCloseButton::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  Invalidate();
}

void TFcTabCloseButton::Paint() {
  RECT all{0, 0, Width(), Height()};
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(all);
  bool pressed = tracking_ && pressedLook_;
  if (ThemeServicesEnabled()) {
    if (Themes::TThemeData theme = Themes::OpenTheme(Handle(), "WINDOW")) {
      int state = !active_ ? CBS_DISABLED : pressed ? CBS_PUSHED : CBS_NORMAL;
      Themes::DrawThemeBackground(theme.get(), canvas->Handle(), WP_SMALLCLOSEBUTTON, state, all);
      return;
    }
  }
  RECT glyph = all;
  InflateRect(&glyph, -1, -1);
  DrawFrameControl(canvas->Handle(), &glyph, DFC_CAPTION,
                   DFCS_CAPTIONCLOSE | DFCS_FLAT | (pressed ? DFCS_PUSHED : 0) | (active_ ? 0 : DFCS_INACTIVE));
  canvas->Brush()->SetColor(frameColor_);
  canvas->FrameRect(all);
}

void TFcTabCloseButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  tracking_ = true;
  pressedLook_ = true;
  Invalidate();
}

void TFcTabCloseButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!tracking_) return;
  RECT all{0, 0, Width(), Height()};
  bool inside = PtInRect(&all, POINT{x, y}) != 0;
  if (inside != pressedLook_) {
    pressedLook_ = inside;
    Invalidate();
  }
}

void TFcTabCloseButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || !tracking_) return;
  tracking_ = false;
  pressedLook_ = false;
  Invalidate();
  RECT all{0, 0, Width(), Height()};
  if (PtInRect(&all, POINT{x, y}) && OnClose) OnClose(this);
}
