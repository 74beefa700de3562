// Docking: the record of a control being docked or dragged, the dock manager a dock site lays
// its docked controls out with, and the plain manager (TDockTree) that gives each docked
// control a grabber with a close button. The control side (ManualDock, BeginDrag, the dock
// site flag and its events) is declared in Controls.h and lives in Docking.cpp.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Controls.h"

// A control on its way into a dock site: by ManualDock, or dragged by the mouse.
class TDragDockObject {
 public:
  explicit TDragDockObject(TControl* control) : control_(control) {}
  TControl* Control() const { return control_; }
  // The screen rectangle the control would take: in the site under the mouse, or floating.
  RECT DockRect{};
  // The docked control the new one goes next to, and on which side of it.
  TControl* DropOnControl = nullptr;
  TAlign DropAlign = alNone;
  // The site under the mouse that takes the control; nullptr: it would float.
  TWinControl* DragTarget = nullptr;
  // The mouse, in screen coordinates.
  POINT DragPos{};

 private:
  TControl* control_;
};

// What a dock site asks of its dock manager.
class IDockManager {
 public:
  virtual ~IDockManager() = default;
  // `control` was docked into the site: it gets its place (next to `dropControl`, on the
  // `insertAt` side; at the end when there is none).
  virtual void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) = 0;
  virtual void RemoveControl(TControl* control) = 0;
  // Places the docked controls in the site's client area again.
  virtual void ResetBounds(bool force) = 0;
  // Paints the grabbers of the docked controls onto the site's context.
  virtual void PaintSite(HDC dc) = 0;
  // Where `client` would go if dropped now (screen coordinates).
  virtual void PositionDockRect(TControl* client, TControl* dropControl, TAlign dropAlign, RECT& dockRect) = 0;
};

// The plain dock manager: the docked controls share the site one after another (side by
// side when the site lies along the top or bottom of its parent, else one above the other),
// each below a grabber with a close button. A press on a grabber drags its control out; a
// double click floats it; the close button hides it. It hooks the site's WindowProc while it
// exists.
class TDockTree : public IDockManager {
 public:
  explicit TDockTree(TWinControl* site);
  ~TDockTree() override;
  TDockTree(const TDockTree&) = delete;
  TDockTree& operator=(const TDockTree&) = delete;

  TWinControl* DockSite() const { return site_; }
  int GrabberSize() const { return grabberSize_; }
  void SetGrabberSize(int value);
  const std::vector<TControl*>& Clients() const { return clients_; }

  void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) override;
  void RemoveControl(TControl* control) override;
  void ResetBounds(bool force) override;
  void PaintSite(HDC dc) override;
  void PositionDockRect(TControl* client, TControl* dropControl, TAlign dropAlign, RECT& dockRect) override;

  // The part of the site (client coordinates) that a docked control and its grabber take.
  RECT ZoneRect(TControl* control);
  // The grabber of a docked control and the close button on it (client coordinates).
  RECT GrabberRect(TControl* control);
  RECT CloseButtonRect(TControl* control);
  // The docked control whose grabber holds the client point; nullptr when none.
  TControl* GrabberAt(POINT p);

 protected:
  // The grabbers lie down the left side of each zone (not across its top).
  bool GrabbersOnLeft() const;
  // Takes the grabber's room from a zone, leaving the control's bounds.
  virtual void AdjustDockRect(TControl* control, RECT& rect);
  // Paints the grabber of `control` in `rect` (the zone less the control's bounds).
  virtual void PaintDockFrame(TCanvas* canvas, TControl* control, const RECT& rect);
  // The site's messages come here first; the ones not for the grabbers go on to
  // PreviousWindowProc.
  virtual void WindowProc(TMessage& message);
  const TWndMethod& PreviousWindowProc() const { return previous_; }

 private:
  std::vector<TControl*> VisibleClients() const;
  TWinControl* site_;
  int grabberSize_ = 12;
  std::vector<TControl*> clients_;
  TWndMethod previous_;
};
