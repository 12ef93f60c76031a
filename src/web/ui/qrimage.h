#pragma once
#include <QImage>
#include <QString>

namespace velmara {

// The QR code of a text (error correction M), black modules on white with the
// four-module quiet zone, each module `scale` pixels wide; a null image when the
// text does not fit a QR code.
QImage qrCodeImage(const QString& text, int scale);

} // namespace velmara
