// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QString>

namespace mtra::ui {

/// The version shown in the splash and About pictures and written into saved projects.
inline constexpr char kApplicationVersion[] = "1.0.0020";

/// "Orvane Mattora Batch", translated: the title of every message box and window.
QString ApplicationName();

} // namespace mtra::ui
