// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QIcon>

namespace mtra::ui {

/// The icon of a resource when the program's resources hold it, else a plain drawn stand-in
/// of the same meaning (":Icons/Focus.png", ":Icons/ImageUnique.png",
/// ":Icons/ImageUniqueEnabled.png"), so that a button never loses its icon.
QIcon CanvasIcon(const QString& resource);

} // namespace mtra::ui
