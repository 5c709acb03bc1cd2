#include "power/picturefile.h"

#include <QBuffer>

namespace quorvex {

SaveOutcome writePictureFile(const QImage& picture, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        return SaveOutcome::WriteFailed;
    return canvas::saveFile(path, bytes);
}

QString saveFailureText(SaveOutcome outcome) {
    if (outcome == SaveOutcome::Saved)
        return {};
    return QStringLiteral("图象没有保存：") + canvas::saveFailureReason(outcome);
}

} // namespace quorvex
