#include "controls/resources.h"

#include <QFile>
#include <QPixmap>

// Resources compiled into a static library must be registered by hand, outside any namespace.
static void InitOwnResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(zephorin);
    return true;
  }();
  (void)done;
}

namespace zeph {

QIcon LoadOwnIcon(const QString& name) {
  InitOwnResources();
  const QString path = QStringLiteral(":/zephorin/icons/%1.svg").arg(name);
  if (!QFile::exists(path)) return QIcon();
  return QIcon(path);
}

QCursor LoadOwnCursor(const QString& name, int hotX, int hotY) {
  InitOwnResources();
  const QString path = QStringLiteral(":/zephorin/cursors/%1.svg").arg(name);
  const QPixmap pixmap(path);
  if (pixmap.isNull()) return QCursor(Qt::ArrowCursor);
  return QCursor(pixmap, hotX, hotY);
}

}  // namespace zeph
