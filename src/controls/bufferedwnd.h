#pragma once
// The base of every window the program paints itself (drawing window, palette, values bar,
// prompt area, display texts, tables, start screen). The window's screen is a back buffer:
// all drawing goes through our drawing context on it, during a paint (OnPaint) and outside
// one (CClientDC, for XOR feedback, grips, rubber bands, the caret); paintEvent only brings
// the buffer up to date and copies it to the widget.
//
// Qt's events arrive at the handlers the program's windows are written with: OnLButtonDown
// (flags, point) and so on, with flags and keys translated in controls/input.h. Windows that
// handle double clicks say so (SetWantsDoubleClicks): a double click is then the second press
// followed by OnLButtonDblClk; for other windows it is only the second press.
#include <QImage>
#include <QWidget>
#include <memory>

#include "controls/input.h"
#include "controls/timers.h"
#include "platform/drawcontext.h"

namespace zeph {

class CImageContext;

// What a window tells a dialog it wants of the keys (the dialog keeps the others: Tab moves
// the focus, Enter and Esc go to the dialog's buttons).
inline constexpr unsigned kDlgcWantArrows = 0x0001;
inline constexpr unsigned kDlgcWantTab = 0x0002;
inline constexpr unsigned kDlgcWantAllKeys = 0x0004;
inline constexpr unsigned kDlgcWantChars = 0x0080;

class CBufferedWnd : public QWidget, public CTimerOwner {
  Q_OBJECT

 public:
  explicit CBufferedWnd(QWidget* parent = nullptr);
  ~CBufferedWnd() override;

  // A drawing context on the window's back buffer for drawing outside a paint; the window
  // shows what was drawn when the context ends. Each one starts with the context's defaults.
  class CClientDC {
   public:
    explicit CClientDC(CBufferedWnd& window);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    CDrawContext& operator*();
    CDrawContext* operator->();
    CDrawContext& get();

   private:
    CBufferedWnd& m_window;
    std::unique_ptr<CImageContext> m_dc;
  };

  // The window's screen. Its size follows the widget's.
  QImage& BackBuffer();
  const QImage& BackBuffer() const { return m_buffer; }

  // Marks the whole window (or rect, client pixels, right and bottom outside) to be painted
  // again; the paint runs when Qt next paints the window, or at UpdateWindow.
  void Invalidate();
  void InvalidateRect(const DcRect& rect);
  // Runs the pending paint now.
  void UpdateWindow();
  DcRect GetClientRect() const { return {0, 0, width(), height()}; }

  // The colour the background is erased with before a paint; white by default.
  void SetBackgroundColour(ColourRef colour) { m_backgroundColour = colour; }
  ColourRef GetBackgroundColour() const { return m_backgroundColour; }

  // The window holds the mouse capture (controls/input.h).
  bool HasCapture() const;
  void SetCapture();
  void ReleaseCapture();

  // Keys this window takes inside a dialog (kDlgc... bits). Arrows by default, which the
  // program's own controls of dialogs all want.
  virtual unsigned OnGetDlgCode() const { return kDlgcWantArrows; }

  // ---- Handlers; the bases do nothing ----
  virtual void OnPaint(CDrawContext& dc);
  // Clears the area to be painted in the background colour.
  virtual void OnEraseBkgnd(CDrawContext& dc);
  virtual void OnSize(int cx, int cy);
  virtual void OnLButtonDown(unsigned flags, QPoint point);
  virtual void OnLButtonUp(unsigned flags, QPoint point);
  virtual void OnLButtonDblClk(unsigned flags, QPoint point);
  virtual void OnRButtonDown(unsigned flags, QPoint point);
  virtual void OnRButtonUp(unsigned flags, QPoint point);
  virtual void OnMButtonDown(unsigned flags, QPoint point);
  virtual void OnMButtonUp(unsigned flags, QPoint point);
  virtual void OnMouseMove(unsigned flags, QPoint point);
  // delta: 120 for each notch away from the user.
  virtual void OnMouseWheel(unsigned flags, int delta, QPoint point);
  // A horizontal wheel or tilt; delta: 120 for each notch to the right.
  virtual void OnMouseHWheel(unsigned flags, int delta, QPoint point);
  virtual void OnKeyDown(int key, int repeat, unsigned flags);
  virtual void OnKeyUp(int key, int repeat, unsigned flags);
  virtual void OnChar(int character, int repeat, unsigned flags);
  virtual void OnSysChar(int character, int repeat, unsigned flags);
  virtual void OnSetFocus();
  virtual void OnKillFocus();
  void OnTimer(int id) override;

 protected:
  void SetWantsDoubleClicks(bool wants) { m_wantsDoubleClicks = wants; }

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void EnsureBuffer();
  void PaintInvalid();
  // Whether a key press goes to this window's handlers or stays with its dialog.
  bool TakesKey(const QKeyEvent& event) const;
  void HandleKeyPress(QKeyEvent& event);
  // A press or release outside the client area reaches the handlers only under capture.
  bool Delivers(const QPoint& point) const;

  QImage m_buffer;
  DcRect m_invalid;  // empty when nothing waits to be painted
  ColourRef m_backgroundColour = 0x00FFFFFF;
  bool m_wantsDoubleClicks = false;
};

// Copies rect of buffer onto the widget; the paintEvent of controls that keep a back buffer
// without deriving from CBufferedWnd (own-drawn buttons on Qt's button).
void CopyBufferToWidget(QWidget& widget, const QImage& buffer, const QRect& rect);

}  // namespace zeph
