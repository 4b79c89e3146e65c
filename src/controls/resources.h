#pragma once
// The program's own icons and cursors, compiled in from resources/.
#include <QCursor>
#include <QIcon>
#include <QString>

namespace zeph {

// An icon by its name under resources/icons without ".svg" ("zephorin", "drawing"); a null
// icon when there is none.
QIcon LoadOwnIcon(const QString& name);
// A cursor by its name under resources/cursors without ".svg" ("pick"), with its hot spot;
// the arrow when there is none.
QCursor LoadOwnCursor(const QString& name, int hotX, int hotY);

}  // namespace zeph
