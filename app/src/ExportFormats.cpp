// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ExportFormats.h>

#include <app/ErrorTexts.h>

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>

namespace mtra::app {

ExportFormatInfo ExportFormatFor(ExportFormat format, int quality)
{
    switch (format) {
    case FormatJPEG:
        return { QStringLiteral("jpg"), QByteArrayLiteral("jpg"), std::clamp(quality, 0, 100) };
    case FormatTIFF:
        return { QStringLiteral("tiff"), QByteArrayLiteral("tiff"), -1 };
    default:
        return { QStringLiteral("png"), QByteArrayLiteral("png"), -1 };
    }
}

QString ExportFileName(
    const QString& prefix, const QString& name, const QString& postfix, const QString& extension)
{
    return QStringLiteral("%1%2%3.%4").arg(prefix, name, postfix, extension);
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\')
            || c.category() == QChar::Other_Control;
    });
}

bool EncodeImage(
    const QImage& image, const ExportFormatInfo& format, QByteArray& bytes, QString* reason)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.writerFormat);
    writer.setQuality(format.quality);
    if (writer.write(image))
        return true;
    if (reason != nullptr)
        *reason = EncodeFailedText(format.writerFormat, writer.errorString());
    return false;
}

} // namespace mtra::app
