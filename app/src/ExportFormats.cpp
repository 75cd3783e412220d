// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ExportFormats.h>

#include <app/ErrorTexts.h>

#include "PngWriter.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <new>

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
        // Format characters include the bidirectional controls: U+202E shows
        // "abc\u202Egpj.exe.jpg" as "abcgpj.exe.jpg" reversed, a name that lies about its
        // type. The joiners U+200C and U+200D stay, as words of several scripts need them.
        const bool joiner = c.unicode() == 0x200C || c.unicode() == 0x200D;
        return c == QLatin1Char('/') || c == QLatin1Char('\\')
            || c.category() == QChar::Other_Control
            || (c.category() == QChar::Other_Format && !joiner);
    });
}

namespace {

bool IsUnsafeToShow(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Other_Format
        || category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
}

QString Escaped(const QString& text, bool quoted)
{
    QString shown;
    shown.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (quoted && (c == QLatin1Char('"') || c == QLatin1Char('\\'))) {
            shown += QLatin1Char('\\');
            shown += c;
        } else if (IsUnsafeToShow(c)) {
            // Shown, never obeyed: a name cannot end a line, move the cursor or turn text round.
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return quoted ? QLatin1Char('"') + shown + QLatin1Char('"') : shown;
}

} // namespace

QString QuotedForMessage(const QString& text)
{
    return Escaped(text, true);
}

QString EscapedForMessage(const QString& text)
{
    return Escaped(text, false);
}

bool EncodeImage(
    const QImage& image, const ExportFormatInfo& format, QByteArray& bytes, QString* reason)
{
    bytes.clear();
    // The export's pictures go through the banded PNG writer; anything else, and a picture
    // that writer cannot take, through the image writer.
    if (format.writerFormat == "png" && image.format() == QImage::Format_ARGB32) {
        try {
            if (EncodePng(image, bytes))
                return true;
        } catch (const std::bad_alloc&) {
            bytes.clear();
            if (reason != nullptr)
                *reason = EncodeOutOfMemoryText();
            return false;
        }
        bytes.clear();
    }
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
