// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/AbstractImageCache.h>

namespace mtra::app {

AbstractImageCache::AbstractImageCache() = default;
AbstractImageCache::AbstractImageCache(const AbstractImageCache&) = default;
AbstractImageCache& AbstractImageCache::operator=(const AbstractImageCache&) = default;
AbstractImageCache::~AbstractImageCache() = default;

} // namespace mtra::app
