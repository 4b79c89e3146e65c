#pragma once
// A page of a PDF file as a reader shows it, rendered by pdftoppm (poppler-utils, which the
// test command installs).
#include <QImage>
#include <QString>

namespace zeph::testing {

// Page number page (from 1) at dpi dots per inch; null with why set when it cannot be
// rendered (why empty when pdftoppm is not installed). Without antialiasing each pixel is
// either painted or not, as a printer sets its dots.
QImage RenderPdfPage(const QString& pdf, int page, int dpi, QString& why, bool antialias = true);

}  // namespace zeph::testing
