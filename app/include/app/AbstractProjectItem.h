// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>
#include <app/MTerr.h>

#include <QDomElement>
#include <QXmlStreamWriter>

namespace mtra::app {

class ModelAccess;

/// Root of every object stored in the project file. Reading and writing are private: only the
/// object that owns another in the file (a list, the settings, the project) calls them, so the
/// program cannot load half an object on its own. Both return `MT_OK` or the failure's code and
/// never throw. Model objects are used on the GUI thread only.
class APP_EXPORT AbstractProjectItem
{
public:
    virtual ~AbstractProjectItem();

protected:
    AbstractProjectItem() = default;
    AbstractProjectItem(const AbstractProjectItem&) = default;
    AbstractProjectItem& operator=(const AbstractProjectItem&) = default;

private:
    friend class ModelAccess;

    /// Reads this object from `element` (its own element for items; the parent element for
    /// lists, settings, canvas and export settings, which find their own child). On failure
    /// the values read before it keep their new values.
    virtual MTerr LoadFromXml(const QDomElement& element) = 0;
    /// Writes this object as one element at the writer's position.
    virtual MTerr WriteToXml(QXmlStreamWriter& writer) const = 0;
};

} // namespace mtra::app
