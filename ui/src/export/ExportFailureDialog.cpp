// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportFailureDialog.h"

#include "ApplicationName.h"
#include "Dialogs.h"

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
    Dialogs().Message(DialogProvider::Kind::Warning, parent, ApplicationName(),
        ExportFailureHeading(static_cast<int>(failures.size())) + failures.join(QLatin1Char('\n')));
}

} // namespace mtra::ui
