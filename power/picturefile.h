#pragma once

// Writing the canvas picture to a BMP file through the programs' one safe way of writing a file: an older
// file of the same name is replaced only by a complete new one and keeps its permissions, a read-only file
// is never replaced, and a failure comes back with its reason so it can be told.

#include "runtime/savefile.h"

#include <QImage>
#include <QString>

namespace quorvex {

using canvas::SaveOutcome;

/// Writes the picture as a BMP file at the path and says how it went; on any failure the file system is
/// left as it was.
SaveOutcome writePictureFile(const QImage& picture, const QString& path);

/// The warning of a failed save, with its reason in plain words.
QString saveFailureText(SaveOutcome outcome);

} // namespace quorvex
