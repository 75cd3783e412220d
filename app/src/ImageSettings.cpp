// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ImageSettings.h>

#include "ModelAccess.h"
#include "XmlGuard.h"

namespace mtra::app {

namespace {

// The rule the item widgets apply when they show an item: active exactly when it changes
// something. Applied after loading so that the model agrees with what the program shows.
template <typename List> void UpdateList(const List& list)
{
    for (auto it = list.Begin(); it != list.End(); ++it)
        (*it)->SetActive((*it)->HasEffect());
}

// Loads the lists in the given order from the settings' own element (none: empty lists);
// the first failing list ends the load with its code.
template <typename... Lists>
MTerr LoadLists(const QDomElement& parent, const char16_t* element, Lists&... lists)
{
    const QDomElement settings = parent.firstChildElement(QString::fromUtf16(element));
    if (settings.isNull())
        return MT_OK;
    MTerr result = MT_OK;
    // The fold stops at the first non-zero result.
    static_cast<void>((((result = ModelAccess::Load(lists, settings)) == MT_OK) && ...));
    return result;
}

template <typename... Lists>
MTerr WriteLists(QXmlStreamWriter& writer, const char16_t* element, const Lists&... lists)
{
    writer.writeStartElement(QString::fromUtf16(element));
    MTerr result = MT_OK;
    if ((((result = ModelAccess::Write(lists, writer)) == MT_OK) && ...))
        writer.writeEndElement();
    return result;
}

} // namespace

ForegroundImageSettings::~ForegroundImageSettings() = default;

void ForegroundImageSettings::UpdateActiveFlags()
{
    UpdateList(m_filters);
    UpdateList(m_transforms);
    UpdateList(m_keys);
    UpdateList(m_composites);
}

MTerr ForegroundImageSettings::LoadFromXml(const QDomElement& parent)
{
    return LoadLists(
        parent, u"foregroundImageSettings", m_filters, m_transforms, m_keys, m_composites);
}

MTerr ForegroundImageSettings::WriteToXml(QXmlStreamWriter& writer) const
{
    return WriteLists(
        writer, u"foregroundImageSettings", m_filters, m_transforms, m_keys, m_composites);
}

BackgroundImageSettings::~BackgroundImageSettings() = default;

void BackgroundImageSettings::UpdateActiveFlags()
{
    UpdateList(m_filters);
    UpdateList(m_transforms);
}

MTerr BackgroundImageSettings::LoadFromXml(const QDomElement& parent)
{
    return LoadLists(parent, u"backgroundImageSettings", m_filters, m_transforms);
}

MTerr BackgroundImageSettings::WriteToXml(QXmlStreamWriter& writer) const
{
    return WriteLists(writer, u"backgroundImageSettings", m_filters, m_transforms);
}

OverlayImageSettings::~OverlayImageSettings() = default;

void OverlayImageSettings::UpdateActiveFlags()
{
    UpdateList(m_composites);
    UpdateList(m_transforms);
}

MTerr OverlayImageSettings::LoadFromXml(const QDomElement& parent)
{
    return LoadLists(parent, u"overlayImageSettings", m_composites, m_transforms);
}

MTerr OverlayImageSettings::WriteToXml(QXmlStreamWriter& writer) const
{
    return WriteLists(writer, u"overlayImageSettings", m_composites, m_transforms);
}

} // namespace mtra::app
