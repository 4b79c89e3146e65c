#pragma once
// The buttons and lists hosted directly in views: Qt's own push button and list with the
// control part, so that they take part in their view's control group, and report the keys they
// do not use to the view (controlKey). A list in hand-over mode is a pop-up choice list: shown
// while it has the focus, hidden when it loses it, and a click in it is a choice.
#include <QListWidget>
#include <QPushButton>

#include "controls/controls.h"

namespace zeph {

class CViewButton : public QPushButton, public CControl {
  Q_OBJECT

 public:
  explicit CViewButton(QWidget* parent = nullptr);

  // The caption is the string of the button's id (empty when there is none); rect is in the
  // parent's client coordinates (right and bottom outside).
  bool Create(const DcRect& rect, QWidget* parent, int id);
  int GetId() const { return m_id; }
  // The caption from the string table (empty when missing), and its mnemonic.
  void SetCaption(int stringId);
  void SetCaptionText(const QString& text);
  void SetFont(const DcFont* font, bool redraw);

  // ---- Handlers, as the key messages reach the button; false leaves a key to the button's
  // default handling ----
  virtual bool OnChar(int character);
  virtual bool OnSysChar(int character);
  virtual void OnKeyDown(int key);
  virtual void OnKeyUp(int key);
  virtual void OnSetFocus();
  virtual void OnKillFocus();

  void SendGroupKey(int code) override;
  void SendCommand() override;
  bool IsCheckedStyle() const override;
  bool IsChecked() const override;

 signals:
  // A key the button does not use, for the parent (9 Tab when the group did not move on).
  void controlKey(int id, int key);
  // Enter or Tab reached the button as a member of a control group.
  void groupKey(int id, int code);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void HandleKeyPress(QKeyEvent& event);
  int m_id = 0;
};

class CViewList : public QListWidget, public CControl {
  Q_OBJECT

 public:
  explicit CViewList(QWidget* parent = nullptr);

  // The list, with the string of its id as its caption.
  bool Create(const DcRect& rect, QWidget* parent, int id);
  int GetId() const { return m_id; }
  void SetFont(const DcFont* font, bool redraw);
  void SetKeyHandOver(std::int32_t flag) { m_handOver = flag; }
  std::int32_t GetKeyHandOver() const { return m_handOver; }

  virtual bool OnChar(int character);
  virtual bool OnSysChar(int character);
  virtual void OnSetFocus();
  virtual void OnKillFocus();
  virtual void OnLButtonUp();

  void SendGroupKey(int code) override;

 signals:
  void controlKey(int id, int key);
  void groupKey(int id, int code);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void HandleKeyPress(QKeyEvent& event);
  int m_id = 0;
  std::int32_t m_handOver = 0;
};

// Brings g_keyState in step with Qt's modifiers of a key event (Shift+Tab arrives as one key).
void TrackKeyModifiers(const QKeyEvent& event);
// Qt's font for one of the program's font descriptions, for a standard control.
QFont QtFontOf(const DcFont& font, const QWidget* widget);

}  // namespace zeph
