// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ErrorTexts.h>

#include <app/BatchExport.h>
#include <app/ExportFormats.h>

#include <QCoreApplication>

namespace mtra::app {

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("ErrorTexts", text);
}

} // namespace

QString ErrorText(MTerr error)
{
    switch (error) {
    case MT_OK:
        return Tr("no error");
    case MT_FILE_OPEN_FAILED:
        return Tr("the file cannot be opened");
    case MT_XML_PARSE_FAILED:
        return Tr("the file is not a well-formed project file");
    case MT_XML_INVALID:
        return Tr("the project is invalid: a value is missing, out of range or unsafe");
    case MT_OUT_OF_MEMORY:
    case MT_RENDER_OUT_OF_MEMORY:
        return Tr("out of memory");
    case MT_DEFAULT_PROJECT_FAILED:
        return Tr("the built-in default project failed to load");
    case MT_XML_WRITE_FAILED:
        return Tr("the project file cannot be written, or holds a value that cannot be stored");
    case MT_ITEM_NOT_FOUND:
        return Tr("the item is not in the list");
    case MT_IMAGE_ALREADY_LISTED:
        return Tr("the image is already in the batch");
    case MT_IMAGE_NOT_LISTED:
        return Tr("the image is not in the batch");
    case MT_NOTHING_TO_FILTER:
        return Tr("there is nothing to filter");
    case MT_NOTHING_TO_KEY:
        return Tr("there is nothing to key");
    case MT_NO_SOURCE_IMAGE:
        return Tr("the image to render is missing");
    case MT_STAGE_RENDER_FAILED:
        return Tr("keying or filtering failed");
    case MT_CANVAS_NOT_COMPOSED:
        return Tr("the layers could not be composited");
    case MT_INVALID_LAYER:
        return Tr("there is no such layer");
    case MT_INVALID_LEVEL:
        return Tr("the layer has no such render stage");
    case MT_LAYER_NOT_SET:
        return Tr("the layer has no image");
    case MT_CACHE_NOT_CREATED:
        return Tr("the image cannot be read (not an image, damaged, or above 100 megapixels)");
    case MT_EXPORT_FOREGROUND_FAILED:
        return Tr("the photo cannot be read (not an image or damaged)");
    case MT_EXPORT_BACKGROUND_FAILED:
        return Tr("the background could not be prepared");
    case MT_UNSUPPORTED_BIT_DEPTH:
        return Tr("the image is not 8 bits per channel");
    }
    return Tr("error %1").arg(static_cast<int>(error));
}

QString OutcomeText(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::Written:
        return Tr("written");
    case BatchOutcome::Skipped:
        return Tr("skipped");
    case BatchOutcome::Failed:
        return Tr("failed");
    case BatchOutcome::WouldWrite:
        return Tr("would be written");
    }
    return QString();
}

QString UnsafeStoredNameText(const QString& name)
{
    return Tr("its stored name %1 is not a plain file name").arg(QuotedForMessage(name));
}

QString SameTargetText(const QString& target, const QString& otherSource)
{
    return Tr("it would be written to %1, as %2 is").arg(target, otherSource);
}

QString IncompatibleFileText()
{
    return Tr("not a compatible image file (bmp, jpg, jpeg, png, tif, tiff)");
}

QString NotAddedToBatchText()
{
    return Tr("cannot be added to the batch");
}

QString UnstorablePathText()
{
    return Tr("its path holds characters that a project file cannot store");
}

QString AlreadyExistsText()
{
    return Tr("already exists");
}

QString SameAsInputText(const QString& target)
{
    return Tr("%1 is one of the photos, the background or the overlay of this run: it is never "
              "replaced")
        .arg(target);
}

QString CancelledText()
{
    return Tr("cancelled");
}

QString OfflineText()
{
    return Tr("file not found (offline)");
}

QString EncodeFailedText(const QByteArray& writerFormat, const QString& reason)
{
    return Tr("cannot encode as %1: %2").arg(QString::fromLatin1(writerFormat), reason);
}

QString EncodeOutOfMemoryText()
{
    return Tr("out of memory while encoding");
}

QString WriteFailedText(const QString& path, const QString& reason)
{
    return Tr("cannot write %1: %2").arg(path, reason);
}

QString LinkLoopText()
{
    return Tr("the path is a loop of symbolic links");
}

QString PermissionDeniedText()
{
    return Tr("the file cannot be read: permission denied");
}

QString NotRegularFileText()
{
    return Tr("not a regular file");
}

QString EmptyFileText()
{
    return Tr("the file is empty");
}

QString NotAnImageText()
{
    return Tr("not an image, or a format that cannot be read");
}

QString TooLargeText()
{
    return Tr("the image is above 100 megapixels");
}

QString DataEndsEarlyText()
{
    return Tr("the file is damaged: data ends early");
}

QString CorruptDataText()
{
    return Tr("the file is damaged: corrupt data");
}

QString LayerUnreadableText(LayerID layer, const QString& path, const QString& reason)
{
    return (layer == OverlayLayer ? Tr("the overlay %1 cannot be read: %2")
                                  : Tr("the background %1 cannot be read: %2"))
        .arg(path, reason);
}

QString CanvasUnsupportedText(int width, int height)
{
    return Tr("the background is %1 x %2 pixels: a canvas above 25 megapixels is unsupported")
        .arg(width)
        .arg(height);
}

QString OutputFolderText(const QString& folder, const QString& reason)
{
    return Tr("the output folder %1 cannot be used: %2").arg(folder, reason);
}

QString LeftOutText(int count)
{
    return Tr("%1 left out: links, files that are not regular or have no image suffix").arg(count);
}

QString NotAFolderText()
{
    return Tr("not a folder");
}

} // namespace mtra::app
