// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// Interim error texts for the window; replaced by the library's own.

#include <app/AppExport.h>
#include <app/MTerr.h>

#include <QString>

namespace mtra::app {

inline QString ErrorText(MTerr error)
{
    return QStringLiteral("Error %1.").arg(static_cast<int>(error));
}

} // namespace mtra::app
