#pragma once
// The presenter the program installs: real message boxes on the screen. The scripted
// presenter stays for tests and headless runs.
#include "platform/presenter.h"

class QWidget;

namespace zeph {

class CQtPresenter final : public IPresenter {
 public:
  // Boxes are centred over the parent's window (null: the active window).
  explicit CQtPresenter(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }

  int ShowMessageBox(const QString& text, const QString& caption, unsigned style) override;

 private:
  QWidget* m_parent;
};

}  // namespace zeph
