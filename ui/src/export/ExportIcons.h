// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QIcon>

namespace mtra::ui {

/// The export section's icons, drawn here: the export button's and the four list moves.
enum class ExportIcon { Export, AddAll, Add, Remove, RemoveAll };
QIcon ExportSectionIcon(ExportIcon which);

} // namespace mtra::ui
