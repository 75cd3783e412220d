// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// The words every front end shows for App's failures and for the outcomes of a batch export,
/// in one place so that the window and mattora-render say the same thing. Each text is a
/// fragment in lower case without a full stop ("the file cannot be opened"), to be set into a
/// sentence or a message box by the caller.
///
/// Every text goes through `QCoreApplication::translate` with the context "ErrorTexts", so a
/// translator installed by the program translates it; without one the English text is
/// returned. Any thread (translators are read-only once installed).

#include <app/AppExport.h>
#include <app/MTerr.h>
#include <app/ProjectTypes.h>

#include <QByteArray>
#include <QString>

namespace mtra::app {

enum class BatchOutcome : int;

/// The meaning of `error`; any value outside the enumeration reads "error <n>".
APP_EXPORT QString ErrorText(MTerr error);

/// What happened to one photo of a batch export: "written", "skipped", "failed", "would be
/// written".
APP_EXPORT QString OutcomeText(BatchOutcome outcome);

/// Why a photo of a batch cannot be exported at all, found while planning.
APP_EXPORT QString UnsafeStoredNameText(const QString& name);
APP_EXPORT QString SameTargetText(const QString& target, const QString& otherSource);
APP_EXPORT QString IncompatibleFileText();
APP_EXPORT QString NotAddedToBatchText();
/// A path that a project file could not store (see `IsStorableText`).
APP_EXPORT QString UnstorablePathText();

/// Why a photo was skipped or failed while the batch ran.
APP_EXPORT QString AlreadyExistsText();
APP_EXPORT QString SameAsInputText(const QString& target);
APP_EXPORT QString CancelledText();
APP_EXPORT QString OfflineText();
APP_EXPORT QString EncodeFailedText(const QByteArray& writerFormat, const QString& reason);
APP_EXPORT QString EncodeOutOfMemoryText();
APP_EXPORT QString WriteFailedText(const QString& path, const QString& reason);

/// Why a photo cannot be read (see <app/PhotoReader.h>).
APP_EXPORT QString LinkLoopText();
APP_EXPORT QString PermissionDeniedText();
APP_EXPORT QString NotRegularFileText();
APP_EXPORT QString EmptyFileText();
APP_EXPORT QString NotAnImageText();
APP_EXPORT QString TooLargeText();
APP_EXPORT QString DataEndsEarlyText();
APP_EXPORT QString CorruptDataText();

/// Why a whole batch cannot run: its background or overlay (`layer`) at `path` does not load,
/// for `reason`; or the canvas from a background of `width` × `height` is unsupported.
APP_EXPORT QString LayerUnreadableText(LayerID layer, const QString& path, const QString& reason);
APP_EXPORT QString CanvasUnsupportedText(int width, int height);
/// The output folder cannot be used, for `reason` (such as `NotAFolderText`).
APP_EXPORT QString OutputFolderText(const QString& folder, const QString& reason);
APP_EXPORT QString NotAFolderText();
/// "<n> left out: …", the files of walked folders that were not taken.
APP_EXPORT QString LeftOutText(int count);

} // namespace mtra::app
