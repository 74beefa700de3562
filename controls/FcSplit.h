// The splitter: a framed panel holding two panes side by side (or one above the other) with a
// bar between them that the user drags, kept in pixels or as a share, limited by margins, tied
// to either pane, and collapsed and restored by a hot spot on the bar.
//
// Index: enumerations · TFcSplitterPane · TFcPaneData · TFcSplitter · registration. Where the
// parts live: FcSplit.cpp the panes, the position, the layout, dragging and stored layouts;
// FcSplitPaint.cpp the bar's painting, the drag outline, the cursors and the hot spot's hover.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/FcPanel.h"

// Which pane keeps its size when the splitter is resized.
enum TFixedPane { fpUpperLeft, fpLowerRight };
enum TSplitterStyle { ssStandard, ssGroove, ssBump, ssGroupBar };
// Where the hot spot collapses the bar to: the start, the end, or the side clicked.
enum THotSpotDirection { hsdMin, hsdMax, hsdBoth };
enum TSelectedPane { spUpperLeft, spLowerRight };
extern const TEnumInfo FixedPaneInfo;
extern const TEnumInfo SplitterStyleInfo;
extern const TEnumInfo HotSpotDirectionInfo;
extern const TEnumInfo SelectedPaneInfo;

// Before the bar moves to `newPosition`; a handler that clears `allowChange` keeps it where it is.
using TPositionChangingEvent = std::function<void(TObject* sender, int newPosition, bool& allowChange)>;

class TFcSplitter;

// One of the splitter's two panes; the controls of that side are its children. Outside the
// form designer the mouse passes through its bare parts to the splitter (unless it is a dock
// site), so the bar can be dragged up to the pane's controls.
class TFcSplitterPane : public TFcCustomPanel {
  MESSAGE_TABLE(TFcCustomPanel)

 public:
  explicit TFcSplitterPane(TComponent* owner);

  // The splitter lays its panes out again; a pane that is shown goes through the splitter
  // (see TFcSplitter::ShowControl).
  void SetVisible(bool value) override;

 protected:
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  friend class TFcSplitter;
  TFcSplitter* Splitter() const;
  void SetVisibleNow(bool value);
  void WMNCHitTest(TMessage& m);
};

// The settings of one pane as the splitter publishes them (UpperLeft, LowerRight).
class TFcPaneData : public TPersistent {
 public:
  explicit TFcPaneData(TFcSplitterPane* pane) : pane_(pane) {}

  TFcSplitterPane* Pane() const { return pane_; }

  TColor BorderColor() const { return pane_->BorderColor(); }
  void SetBorderColor(TColor value) { pane_->SetBorderColor(value); }
  TFrameStyleEx BorderInner() const { return pane_->BorderInner(); }
  void SetBorderInner(TFrameStyleEx value) { pane_->SetBorderInner(value); }
  TFrameStyleEx BorderOuter() const { return pane_->BorderOuter(); }
  void SetBorderOuter(TFrameStyleEx value) { pane_->SetBorderOuter(value); }
  int BorderWidth() const { return pane_->BorderWidth(); }
  void SetBorderWidth(int value) { pane_->SetBorderWidth(value); }
  TColor Color() const { return pane_->Color(); }
  void SetColor(TColor value) { pane_->SetColor(value); }
  TColor FlatColor() const { return pane_->FlatColor(); }
  void SetFlatColor(TColor value) { pane_->SetFlatColor(value); }
  int FlatColorAdjustment() const { return pane_->FlatColorAdjustment(); }
  void SetFlatColorAdjustment(int value) { pane_->SetFlatColorAdjustment(value); }
  bool DockSite() const { return pane_->DockSite(); }
  void SetDockSite(bool value) { pane_->SetDockSite(value); }
  bool ShowDockClientCaptions() const { return pane_->ShowDockClientCaptions(); }
  void SetShowDockClientCaptions(bool value) { pane_->SetShowDockClientCaptions(value); }
  bool Visible() const { return pane_->Visible(); }
  void SetVisible(bool value) { pane_->SetVisible(value); }

 private:
  TFcSplitterPane* pane_;
};

class TFcSplitter : public TFcCustomPanel {
  MESSAGE_TABLE(TFcCustomPanel)

 public:
  // 200 × 100, the bar at 100, two visible panes.
  explicit TFcSplitter(TComponent* owner);
  ~TFcSplitter() override;

  // ---- The bar's position (from the client area's left or top edge)
  int Position() const { return position_; }
  // Limited (CheckPosition), offered to OnChanging, then the panes are laid out and OnChange
  // fires.
  virtual void SetPosition(int value);
  // The position as a percentage of the room the bar moves in.
  int Percent() const { return percent_; }
  virtual void SetPercent(int value);
  // The position follows Percent when the splitter is resized (the upper or left pane fixed).
  bool UsePercent() const { return usePercent_; }
  virtual void SetUsePercent(bool value);
  int PercentMin() const { return percentMin_; }
  virtual void SetPercentMin(int value);
  int PercentMax() const { return percentMax_; }
  virtual void SetPercentMax(int value);
  // The least room the first and the second pane keep while the hot spot is open.
  int MarginMin() const { return marginMin_; }
  virtual void SetMarginMin(int value);
  int MarginMax() const { return marginMax_; }
  virtual void SetMarginMax(int value);
  TFixedPane FixedPane() const { return fixedPane_; }
  virtual void SetFixedPane(TFixedPane value);
  // orHorizontal: the panes left and right of a vertical bar; orVertical: above and below.
  TOrientation Orientation() const { return orientation_; }
  virtual void SetOrientation(TOrientation value);

  // ---- The bar
  TSplitterStyle SplitterStyle() const { return splitterStyle_; }
  virtual void SetSplitterStyle(TSplitterStyle value);
  WORD SplitterWidth() const { return splitterWidth_; }
  virtual void SetSplitterWidth(WORD value);
  bool UseGradients() const { return useGradients_; }
  virtual void SetUseGradients(bool value);
  int GradientColorAdjustment() const { return gradientColorAdjustment_; }
  virtual void SetGradientColorAdjustment(int value);
  TFcGroupBarGradientPath GradientPath() const { return gradientPath_; }
  virtual void SetGradientPath(TFcGroupBarGradientPath value);
  // The bar cannot be dragged (the hot spot still works).
  bool LockBar() const { return lockBar_; }
  void SetLockBar(bool value) { lockBar_ = value; }
  // The panes follow the mouse while the bar is dragged, instead of an outline.
  bool RealTimeDrag() const { return realTimeDrag_; }
  void SetRealTimeDrag(bool value) { realTimeDrag_ = value; }

  // ---- The hot spot: a button on the bar that collapses it to one side and back
  bool HotSpotVisible() const { return hotSpotVisible_; }
  virtual void SetHotSpotVisible(bool value);
  THotSpotDirection HotSpotDirection() const { return hotSpotDirection_; }
  virtual void SetHotSpotDirection(THotSpotDirection value);
  TColor HotSpotHighlight() const { return hotSpotHighlight_; }
  virtual void SetHotSpotHighlight(TColor value);
  // The hot spot's length as a percentage of the bar's.
  int HotSpotSizePercent() const { return hotSpotSizePercent_; }
  virtual void SetHotSpotSizePercent(int value);
  // While collapsed, the bar may go right to the edge whatever the margins.
  bool HotSpotIgnoreMargins() const { return hotSpotIgnoreMargins_; }
  void SetHotSpotIgnoreMargins(bool value) { hotSpotIgnoreMargins_ = value; }
  bool HotSpotClosed() const { return hotSpotClosed_; }
  bool HotSpotClosedToMin() const { return closedToMin_; }
  bool HotSpotClosedToMax() const { return closedToMax_; }
  // The position the bar had before the hot spot collapsed it.
  int HotSpotPosition() const { return hotSpotPosition_; }

  TSelectedPane SelectedPane() const { return selectedPane_; }
  virtual void SetSelectedPane(TSelectedPane value);

  // ---- The panes
  TFcPaneData* UpperLeft() const { return data_[0].get(); }
  void SetUpperLeft(TFcPaneData* value) { data_[0]->Assign(value); }
  TFcPaneData* LowerRight() const { return data_[1].get(); }
  void SetLowerRight(TFcPaneData* value) { data_[1]->Assign(value); }
  TFcSplitterPane* UpperLeftPane() const { return panes_[0]; }
  TFcSplitterPane* LowerRightPane() const { return panes_[1]; }

  // Also on both panes.
  void SetParentColor(bool value);
  void SetTransparent(bool value) override;
  void SetBorderOuter(TFrameStyleEx value) override;
  void SetBorderInner(TFrameStyleEx value) override;
  void SetBorderSides(TSides value) override;
  void SetBorderWidth(int value);

  // The bar's rectangle and the hot spot's on it (client coordinates).
  RECT BarRect() const { return barRect_; }
  RECT HotSpotRect() const { return hotSpotRect_; }
  bool Dragging() const { return dragging_; }
  // The position the drag outline was last drawn at.
  int DragPosition() const { return lastDrawnPosition_; }

  // `value` brought within the limits: the margins (none while collapsed by the hot spot,
  // when it ignores them), and always within the room the bar has, so that neither pane gets
  // a negative size.
  virtual void CheckPosition(int& value);
  // Places the panes and the bar at Position.
  virtual void LayoutPanes();
  // A hidden pane is shown (the splitter takes over the focus of a control inside it) and the
  // position is limited again, so that both panes have room.
  virtual void ShowControl(TFcSplitterPane* pane);

  void Loaded() override;

  TNotifyEvent OnChange;
  TPositionChangingEvent OnChanging;
  TNotifyEvent OnHotSpotClick;
  // The panes' docking events, with the splitter as the sender.
  TGetSiteInfoEvent OnULGetSiteInfo;
  TDockOverEvent OnULDockOver;
  TDockDropEvent OnULDockDrop;
  TUnDockEvent OnULUnDock;
  TGetSiteInfoEvent OnLRGetSiteInfo;
  TDockOverEvent OnLRDockOver;
  TDockDropEvent OnLRDockDrop;
  TUnDockEvent OnLRUnDock;

  // For stored layouts: the bar rectangle, the hot spot's state and the names of the panes'
  // children.
  std::vector<TValue> BarSizeValues() const;
  void ReadBarSize(const TValue& value);
  std::vector<std::string> PaneControlNames(int pane) const;
  void ReadPaneControlNames(int pane, const TValue& value);
  void ReadHotSpotState(bool closed, bool toMin, bool toMax, int position);

 protected:
  // The size the splitter has along the bar's axis: its width (orHorizontal) or height.
  int Size() const { return orientation_ == orHorizontal ? Width() : Height(); }
  virtual void SaveFixedSize();
  // The borders' width on the left (top) side: the start of the client area.
  virtual int BorderSize();
  virtual void DrawDragBar(int position);
  virtual void UpdateHotSpotRect();
  virtual void DrawHotSpot(bool highlighted, POINT mousePos);
  virtual void DrawSplitterBar();
  virtual void RememberPosition(int position);
  // Sets the position when it differs and remembers it as the user's.
  virtual void MovePosition(int position);
  virtual void ResetHotSpot();
  virtual void DoChange();
  virtual bool DoChanging(int position);
  virtual void DoHotSpotClick();

  RECT GetClientRect() override;
  void AlignControls(TControl* control, RECT& rect) override;
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  // The coordinate along the size axis.
  int Along(int x, int y) const { return orientation_ == orHorizontal ? x : y; }
  // The room the bar moves in for percentages: the size less half the bar, never negative.
  int PercentRoom() const;
  bool BothPanesVisible() const;
  bool InVisibleHotSpot(POINT p) const;
  void ToggleHotSpot(POINT releasePoint);
  void PaintHotSpot(TCanvas* canvas, bool highlighted, POINT mousePos);
  void TrackHotSpotHover();
  void WMSetCursor(TMessage& m);
  void WMShowWindow(TMessage& m);
  void CMMouseLeave(TMessage& m);
  // Ends a drag without moving the bar: Escape, or the mouse taken away.
  void CancelDrag();
  void WMGetDlgCode(TMessage& m);
  void WMCaptureChanged(TWMCaptureChanged& m);
  void WMCancelMode(TMessage& m);

  TFcSplitterPane* panes_[2] = {};
  std::unique_ptr<TFcPaneData> data_[2];
  std::vector<std::string> names_[2];

  int position_ = 100;
  int percent_ = 50;
  bool usePercent_ = false;
  int percentMin_ = 0;
  int percentMax_ = 100;
  int marginMin_ = 0;
  int marginMax_ = 0;
  TFixedPane fixedPane_ = fpUpperLeft;
  TOrientation orientation_ = orHorizontal;
  TSplitterStyle splitterStyle_ = ssStandard;
  WORD splitterWidth_ = 4;
  bool useGradients_ = true;
  int gradientColorAdjustment_ = 30;
  TFcGroupBarGradientPath gradientPath_ = gpTopToBottom;
  bool lockBar_ = false;
  bool realTimeDrag_ = false;
  bool hotSpotVisible_ = false;
  THotSpotDirection hotSpotDirection_ = hsdMin;
  TColor hotSpotHighlight_ = clWindow;
  int hotSpotSizePercent_ = 40;
  bool hotSpotIgnoreMargins_ = true;
  TSelectedPane selectedPane_ = spUpperLeft;

  RECT barRect_{};
  RECT hotSpotRect_{};
  bool hotSpotClosed_ = false;
  bool closedToMin_ = false;
  bool closedToMax_ = false;
  bool hotSpotPressed_ = false;
  int hotSpotPosition_ = 100;
  int rememberedPosition_ = 100;
  int fixedSize_ = 100;
  bool dragging_ = false;
  int dragStartPosition_ = 0;
  int dragOffset_ = 0;
  int lastDrawnPosition_ = 0;
  bool resizing_ = false;
  bool hotSpotDrawnPlain_ = true;
  TGdiObject<HBRUSH> dragBrush_;
  // Over the bar of either orientation, and over its hot spot.
  enum TCursorKind { ckHorz, ckHorzHotSpot, ckVert, ckVertHotSpot };
  HCURSOR cursors_[4] = {};
};

// Registers the splitter, its panes and their settings for stored layouts.
void RegisterFcSplit();
