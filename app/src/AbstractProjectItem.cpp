// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/AbstractProjectItem.h>

namespace mtra::app {

AbstractProjectItem::~AbstractProjectItem() = default;

} // namespace mtra::app
