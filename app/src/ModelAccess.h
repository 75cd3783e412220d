// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>

#include <utility>

namespace mtra::app {

/// The way in to the private parts of the model for the objects that own others in the project
/// file (lists, settings, the project) and for white-box tests: reading and writing of any
/// stored object, and construction of the objects only the project may create.
class ModelAccess
{
public:
    static MTerr Load(AbstractProjectItem& item, const QDomElement& element)
    {
        return item.LoadFromXml(element);
    }

    static MTerr Write(const AbstractProjectItem& item, QXmlStreamWriter& writer)
    {
        return item.WriteToXml(writer);
    }

    /// Constructs T with the private constructor matching `args` (`Canvas`, `ExportSettings`).
    template <typename T, typename... Args> static T Make(Args&&... args)
    {
        return T(std::forward<Args>(args)...);
    }
};

} // namespace mtra::app
