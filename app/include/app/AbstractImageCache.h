// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>

namespace mtra::app {

/// Empty polymorphic base exported beside the render engine for binary compatibility; nothing
/// derives from it and nothing uses it.
class APP_EXPORT AbstractImageCache
{
public:
    AbstractImageCache();
    AbstractImageCache(const AbstractImageCache& other);
    AbstractImageCache& operator=(const AbstractImageCache& other);
    virtual ~AbstractImageCache();
};

} // namespace mtra::app
