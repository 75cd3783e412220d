// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportFailureDialog.h"

#include "Dialogs.h"
#include "import/ImportErrorDialog.h"

#include <QCoreApplication>

namespace mtra::ui {

QString ExportFailureHeading(int count)
{
    return count == 1 ? QCoreApplication::translate(
               "ExportSelectionWidget", "The following image failed to export\n")
                      : QCoreApplication::translate(
                          "ExportSelectionWidget", "The following images failed to export\n");
}

void ShowExportFailures(QWidget* parent, const QStringList& failures)
{
    ImportErrorDialog dialog(
        ExportFailureHeading(static_cast<int>(failures.size())), failures, parent);
    Dialogs().Exec(dialog);
}

} // namespace mtra::ui
