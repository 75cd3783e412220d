// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>

#include <QUuid>

namespace mtra::app {

/// Common part of every key, filter, composite and transform item: an id, the user's enabled
/// and collapsed flags (both stored) and the run-time active flag (not stored).
///
/// The id is created with the item and shared by its copies (copy constructor, assignment,
/// `CopyToVector`), so an id found in a list is also found in a deep copy of the list. Ids are
/// not stored: every load gives new ids. `m_active` is true after construction; the item
/// widgets of the program set it. Setters store values unchanged. GUI thread only.
class APP_EXPORT AbstractRenderItem : public AbstractProjectItem
{
public:
    const QUuid& Id() const { return m_id; }
    bool IsEnabled() const { return m_enabled; }
    bool IsCollapsed() const { return m_collapsed; }
    bool IsActive() const { return m_active; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    void SetCollapsed(bool collapsed) { m_collapsed = collapsed; }
    void SetActive(bool active) { m_active = active; }

protected:
    AbstractRenderItem();
    AbstractRenderItem(const AbstractRenderItem&) = default;
    AbstractRenderItem& operator=(const AbstractRenderItem&) = default;

    /// Reads the attributes "enabled" then "collapsed" of the item's element (both required);
    /// throws XmlException.
    void ReadFlags(const QDomElement& element);
    /// Writes the attributes "collapsed" then "enabled" on the element just started.
    void WriteFlags(QXmlStreamWriter& writer) const;

private:
    QUuid m_id;
    bool m_enabled = true;
    bool m_collapsed = false;
    bool m_active = true;
};

} // namespace mtra::app
