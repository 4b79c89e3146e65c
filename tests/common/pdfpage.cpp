#include "common/pdfpage.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace zeph::testing {

QImage RenderPdfPage(const QString& pdf, int page, int dpi, QString& why, bool antialias) {
  why.clear();
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (tool.isEmpty()) return {};
  const QString out = pdf + QStringLiteral("-page") + QString::number(page);
  QStringList arguments{QStringLiteral("-png"), QStringLiteral("-r"),         QString::number(dpi),
                        QStringLiteral("-f"),   QString::number(page),        QStringLiteral("-l"),
                        QString::number(page),  QStringLiteral("-singlefile")};
  if (!antialias) {
    arguments << QStringLiteral("-aa") << QStringLiteral("no") << QStringLiteral("-aaVector")
              << QStringLiteral("no");
  }
  arguments << pdf << out;
  QProcess render;
  render.start(tool, arguments);
  if (!render.waitForFinished(60000) || render.exitStatus() != QProcess::NormalExit ||
      render.exitCode() != 0) {
    why =
        QStringLiteral("pdftoppm failed: ") + QString::fromLocal8Bit(render.readAllStandardError());
    return {};
  }
  const QImage image(out + QStringLiteral(".png"));
  if (image.isNull()) why = QStringLiteral("pdftoppm wrote no picture");
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace zeph::testing
