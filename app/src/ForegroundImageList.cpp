// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ForegroundImageList.h>

#include "ModelAccess.h"
#include "XmlGuard.h"

#include <app/Project.h>
#include <app/XmlValue.h>

namespace mtra::app {

namespace {

const char kOutOfMemory[] = "There was not enough memory to allocate to the project";

template <typename T> std::shared_ptr<T> MakeOrThrow()
{
    try {
        return std::make_shared<T>();
    } catch (const std::bad_alloc&) {
        throw XmlException(MT_OUT_OF_MEMORY, kOutOfMemory);
    }
}

template <typename T> std::shared_ptr<T> LoadDefault(const QDomElement& defaults)
{
    auto settings = MakeOrThrow<T>();
    if (ModelAccess::Load(*settings, defaults) != MT_OK)
        throw XmlException(MT_XML_INVALID, "default image settings could not be loaded");
    return settings;
}

} // namespace

ForegroundImageList::ForegroundImageList()
    : m_emptyImage(std::make_shared<ForegroundImage>())
{
}

ForegroundImageList::~ForegroundImageList() = default;

MTerr ForegroundImageList::Add(std::shared_ptr<ForegroundImage> image)
{
    if (!image || image->Path().isEmpty() || Find(image->Path()))
        return MT_IMAGE_ALREADY_LISTED;
    image->SetDefault(m_defaultForegroundImageSettings, m_defaultBackgroundImageSettings,
        m_defaultOverlayImageSettings);
    const QString path = image->Path();
    m_images.emplace(path, std::move(image));
    return MT_OK;
}

MTerr ForegroundImageList::Remove(const QString& path)
{
    return m_images.erase(path) == 0 ? MT_IMAGE_NOT_LISTED : MT_OK;
}

MTerr ForegroundImageList::Relink(
    const QString& oldPath, const QString& newPath, const QString& newName)
{
    const auto found = m_images.find(oldPath);
    if (found == m_images.end())
        return MT_IMAGE_NOT_LISTED;
    if (newPath.isEmpty() || (newPath != oldPath && Find(newPath)))
        return MT_IMAGE_ALREADY_LISTED;
    // The node moves with its image; only the key changes, so nothing can fail half-way.
    auto node = m_images.extract(found);
    node.key() = newPath;
    node.mapped()->SetPath(newPath);
    node.mapped()->SetFilename(newName);
    m_images.insert(std::move(node));
    return MT_OK;
}

void ForegroundImageList::ResolveRelativePaths(const QString& folder)
{
    std::map<QString, std::shared_ptr<ForegroundImage>> resolved;
    for (auto& [path, image] : m_images) {
        const QString absolute = ResolvedPath(folder, path);
        image->SetPath(absolute);
        resolved.emplace(absolute, std::move(image));
    }
    m_images = std::move(resolved);
}

std::shared_ptr<ForegroundImage> ForegroundImageList::Get(const QString& path) const
{
    if (path.isNull())
        return m_emptyImage;
    const auto found = m_images.find(path);
    return found == m_images.end() ? m_emptyImage : found->second;
}

bool ForegroundImageList::Find(const QString& path) const
{
    return m_images.find(path) != m_images.end();
}

void ForegroundImageList::Clear()
{
    m_images.clear();
}

unsigned int ForegroundImageList::Size() const
{
    return static_cast<unsigned int>(m_images.size());
}

void ForegroundImageList::UpdateActiveFlags()
{
    if (m_defaultForegroundImageSettings)
        m_defaultForegroundImageSettings->UpdateActiveFlags();
    if (m_defaultBackgroundImageSettings)
        m_defaultBackgroundImageSettings->UpdateActiveFlags();
    if (m_defaultOverlayImageSettings)
        m_defaultOverlayImageSettings->UpdateActiveFlags();
    for (const auto& [path, image] : m_images) {
        if (!image->IsUnique())
            continue;
        image->ForegroundSettings()->UpdateActiveFlags();
        image->BackgroundSettings()->UpdateActiveFlags();
        image->OverlaySettings()->UpdateActiveFlags();
    }
}

MTerr ForegroundImageList::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        m_emptyImage = MakeOrThrow<ForegroundImage>();
        m_enabled = ReadAttributeValue<bool>(element, QStringLiteral("enabled"));
        m_collapsed = ReadAttributeValue<bool>(element, QStringLiteral("collapsed"));

        // All three defaults or none, so that the batch never mixes old and new ones.
        const QDomElement defaults
            = element.firstChildElement(QStringLiteral("defaultImageSettings"));
        auto foreground = LoadDefault<ForegroundImageSettings>(defaults);
        auto background = LoadDefault<BackgroundImageSettings>(defaults);
        auto overlay = LoadDefault<OverlayImageSettings>(defaults);
        m_defaultForegroundImageSettings = std::move(foreground);
        m_defaultBackgroundImageSettings = std::move(background);
        m_defaultOverlayImageSettings = std::move(overlay);
        // Images kept from an earlier load follow the new defaults; unique ones keep their own.
        for (const auto& [path, image] : m_images)
            image->SetDefault(m_defaultForegroundImageSettings, m_defaultBackgroundImageSettings,
                m_defaultOverlayImageSettings);
        m_emptyImage->SetDefault(m_defaultForegroundImageSettings, m_defaultBackgroundImageSettings,
            m_defaultOverlayImageSettings);

        for (QDomElement child = element.firstChildElement(QStringLiteral("foregroundImage"));
             !child.isNull(); child = child.nextSiblingElement(QStringLiteral("foregroundImage"))) {
            auto image = MakeOrThrow<ForegroundImage>();
            // A damaged image is kept with what was read before the damage; only running out
            // of memory ends the load.
            if (ModelAccess::Load(*image, child) == MT_OUT_OF_MEMORY)
                throw XmlException(MT_OUT_OF_MEMORY, kOutOfMemory);
            // Add drops an image without a path (it would shadow the empty image) and a
            // repeated path (the first one wins).
            Add(std::move(image));
        }
    });
}

MTerr ForegroundImageList::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("foregroundImageList"));
        WriteAttributeValue(writer, QStringLiteral("enabled"), m_enabled);
        WriteAttributeValue(writer, QStringLiteral("collapsed"), m_collapsed);
        writer.writeStartElement(QStringLiteral("defaultImageSettings"));
        const AbstractProjectItem* parts[] = { m_defaultBackgroundImageSettings.get(),
            m_defaultOverlayImageSettings.get(), m_defaultForegroundImageSettings.get() };
        for (const AbstractProjectItem* part : parts) {
            if (part == nullptr)
                throw XmlException(MT_XML_WRITE_FAILED, "default image settings are missing");
            const MTerr result = ModelAccess::Write(*part, writer);
            if (result != MT_OK)
                throw XmlException(result, "default image settings could not be saved");
        }
        writer.writeEndElement();
        for (const auto& [path, image] : m_images) {
            const MTerr result = ModelAccess::Write(*image, writer);
            if (result != MT_OK)
                throw XmlException(result, "foreground image could not be saved");
        }
        writer.writeEndElement();
    });
}

} // namespace mtra::app
