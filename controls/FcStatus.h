// The status pane: a windowless text pane, usually on a status bar, that the program writes its
// status messages into. It frames itself in a shared frame style, can fit its width to the
// text, blink the text with the shared blink timer and show the application's hints itself.
#pragma once

#include <string>

#include "controls/FcCommon.h"
#include "controls/FcPanel.h"
#include "platform/StdCtrls.h"

class TFcCustomStatusPane : public TGraphicControl, public IFcFramingNotification {
  MESSAGE_TABLE(TGraphicControl)

 public:
  // 100 × 20, fsFlat, the parent's colour, and on the shared blink list like every pane.
  explicit TFcCustomStatusPane(TComponent* owner);
  ~TFcCustomStatusPane() override;

  // The ring between the control's edge and the frame.
  int BorderWidth() const { return borderWidth_; }
  virtual void SetBorderWidth(int value);
  // Behind the text. Setting it (to another colour) stops it following Color.
  TColor FillColor() const { return fillColor_; }
  virtual void SetFillColor(TColor value);
  bool ParentFillColor() const { return parentFillColor_; }
  virtual void SetParentFillColor(bool value);
  TColor FlatColor() const { return flatColor_; }
  virtual void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  virtual void SetFlatColorAdjustment(int value);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  virtual void SetFrameStyle(TFrameStyle value);
  TFcFrameController* FrameController() const { return frameController_; }
  virtual void SetFrameController(TFcFrameController* value);

  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment value);
  // The application's hints become the caption (see ExecuteAction).
  bool AutoHint() const { return autoHint_; }
  void SetAutoHint(bool value) { autoHint_ = value; }
  // The width follows the caption.
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  // Switched on, the text changes colour with the next tick of the shared blink timer;
  // switched off, it is back to the font's colour at once.
  bool Blinking() const { return blinking_; }
  virtual void SetBlinking(bool value);
  TColor BlinkColor() const { return blinkColor_; }
  virtual void SetBlinkColor(TColor value);
  // The phases of the one blink timer of the program: a change reaches every blinking control.
  virtual WORD BlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(WORD value);
  virtual WORD BlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(WORD value);
  // The distance of left- or right-aligned text from the text rectangle's edge.
  int CaptionOffset() const { return captionOffset_; }
  virtual void SetCaptionOffset(int value);
  // The auto-size width of an empty caption.
  int DefaultWidth() const { return defaultWidth_; }
  virtual void SetDefaultWidth(int value);

  // The colour the text is drawn in now: the font's colour, or BlinkColor in the blink phase.
  TColor TextColor() const { return textColor_; }

  // The width the caption needs with the frame and the offset.
  virtual int GetAutoSizeWidth();
  // The client rectangle inside the frame.
  virtual RECT GetTextRect();
  // Takes the frame controller's frame style and colours while its frame shows.
  void UpdateFrameSettings() override;
  // The rectangle (client coordinates) reaches the status bar's right edge.
  virtual bool IsAtStatusBarRightEdge(const RECT& rect);
  // Takes the application's hint as the caption when AutoHint is on.
  bool ExecuteAction(TBasicAction* action) override;
  void Loaded() override;

 protected:
  // One line in the middle of the height; a text too long for one line is wrapped when the
  // pane has room for two lines or more.
  virtual void DrawCaption(const std::string& text);
  virtual void DrawFrame();
  // The blink timer's phase: on shows BlinkColor, off the font's colour; repaints at once.
  virtual void BlinkStateChanged(bool on);
  // Sizes the pane to GetAutoSizeWidth while AutoSize is on.
  virtual void AdjustSize();
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseEnter() override;
  // On a status bar that draws with the visual styles.
  bool Themed() const;

 private:
  // The caption on one line at the height y, and broken into lines.
  void DrawCaptionLine(const std::string& text, const RECT& r, int y);
  void DrawWrappedCaption(const std::string& text, const RECT& r);
  void CMTextChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMHitTest(TWMMouse& m);
  void CMBlinkQuery(TMessage& m);
  void CMBlinkPhase(TMessage& m);

  int borderWidth_ = 1;
  TColor fillColor_ = clBtnFace;
  bool parentFillColor_ = true;
  TColor flatColor_ = clBtnShadow;
  int flatColorAdjustment_ = 30;
  TFrameStyle frameStyle_ = fsFlat;
  TFcFrameController* frameController_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  bool autoHint_ = false;
  bool autoSize_ = false;
  bool blinking_ = false;
  TColor blinkColor_ = clHighlight;
  int captionOffset_ = 2;
  int defaultWidth_ = 40;
  // Captured from the font when loading ends and at every font change.
  TColor normalTextColor_ = 0;
  TColor textColor_ = 0;
};

// The status pane that stored layouts name.
class TFcStatusPane : public TFcCustomStatusPane {
 public:
  using TFcCustomStatusPane::TFcCustomStatusPane;
};

// Registers the status pane for stored layouts.
void RegisterFcStatus();
