// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QIcon>

namespace mtra::ui {

/// The export section's icons: the export button's (":/Icons/export.png") and the four list
/// moves, drawn here so the buttons never lose them.
enum class ExportIcon { Export, AddAll, Add, Remove, RemoveAll };
QIcon ExportSectionIcon(ExportIcon which);

} // namespace mtra::ui
