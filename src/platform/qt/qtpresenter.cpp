#include "platform/qt/qtpresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zeph {
namespace {

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & kMbIconMask) {
    case kMbIconError:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconExclamation:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int CQtPresenter::ShowMessageBox(const QString& text, const QString& caption, unsigned style) {
  QWidget* parent = m_parent != nullptr ? m_parent : QApplication::activeWindow();
  QMessageBox box(IconOf(style), caption, text, QMessageBox::NoButton, parent);
  // The program's texts break lines with CR LF.
  box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  struct Choice {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Choice> choices;
  switch (style & kMbButtonMask) {
    case kMbOkCancel:
      choices = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case kMbYesNoCancel:
      choices = {
          {QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case kMbYesNo:
      choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
      break;
    default:
      choices = {{QMessageBox::Ok, kIdOk}};
      break;
  }
  for (const Choice& choice : choices) box.addButton(choice.button);
  box.setDefaultButton(choices.front().button);
  // Esc answers Cancel where there is one, else the only button, as the system's boxes do;
  // a Yes/No box cannot be closed without an answer.
  const unsigned buttons = style & kMbButtonMask;
  if (buttons == kMbOkCancel || buttons == kMbYesNoCancel) {
    box.setEscapeButton(QMessageBox::Cancel);
  } else if (buttons == kMbOk) {
    box.setEscapeButton(QMessageBox::Ok);
  }
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const Choice& choice : choices) {
    if (choice.button == clicked) return choice.answer;
  }
  // Closed without a button (a Yes/No box the window manager closed): the safe answer.
  return buttons == kMbYesNo ? kIdNo : (buttons == kMbOk ? kIdOk : kIdCancel);
}

}  // namespace zeph
