// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace mtra::ui {

/// How an export from the window ended.
struct WindowExportResult {
    enum class Stop {
        Ran, ///< the run started (and finished, or was cancelled)
        EmptyList, ///< no photo on the export list
        OfflineDeclined, ///< the user chose not to go on with offline photos
        NoFolder, ///< no folder chosen
        NameTooLong, ///< a target name or path the file system cannot hold
        LayerMissing, ///< the background or overlay is switched on but cannot be read
    };
    Stop stop = Stop::Ran;
    int written = 0;
    int skipped = 0;
    bool cancelled = false;
    /// One line per photo that failed: its path and why.
    QStringList failures;
};

/// Exports the photos on the export list from the window, asking through the dialog seam:
/// offline photos (continue?), the folder, existing files (Yes / Yes to all / No / Cancel).
/// Every photo goes through the library's batch run: rendered by the window's engine with its
/// own settings, encoded in memory and written whole, so a file the user agreed to replace is
/// either the new picture or the old one, never a half-written or deleted one; the encoding of
/// one picture overlaps the rendering of the next. Names the file system cannot hold, targets
/// outside the folder or shared by two photos, and a background or overlay that is on but
/// cannot be read stop or fail the run before anything is written. The preview caches are
/// freed for the run and rebuilt, and preview rendering resumes, on every way out (a rebuild
/// that runs out of memory goes to the program's out-of-memory handling). Ends with "Finished
/// exporting." or the list of failures. GUI thread only.
WindowExportResult ExportBatchImages(QWidget* parent);

/// Whether the file system can hold `path`: every name in it at most 255 bytes and the whole
/// path under 4096 bytes, counted in the file-name encoding.
bool IsStorablePath(const QString& path);

} // namespace mtra::ui
