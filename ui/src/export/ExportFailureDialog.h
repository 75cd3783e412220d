// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QStringList>

class QWidget;

namespace mtra::ui {

/// "The following image failed to export\n", or the plural for several.
QString ExportFailureHeading(int count);

/// Lists the photos an export could not write, each with its reason, in the import error
/// dialog. GUI thread only.
void ShowExportFailures(QWidget* parent, const QStringList& failures);

} // namespace mtra::ui
