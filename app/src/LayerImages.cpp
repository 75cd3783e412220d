// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/LayerImages.h>

#include "ModelAccess.h"
#include "XmlGuard.h"

#include <app/XmlValue.h>

#include <QFile>

namespace mtra::app {

namespace {

const char kOutOfMemory[] = "There was not enough memory to allocate to the project";

// Creates settings of type T, loads them from `element` and returns them; a failure throws
// code 4 with `message`.
template <typename T>
std::shared_ptr<T> LoadSettings(const QDomElement& element, const char* message)
{
    std::shared_ptr<T> settings;
    try {
        settings = std::make_shared<T>();
    } catch (const std::bad_alloc&) {
        throw XmlException(MT_OUT_OF_MEMORY, kOutOfMemory);
    }
    if (ModelAccess::Load(*settings, element) != MT_OK)
        throw XmlException(MT_XML_INVALID, message);
    return settings;
}

template <typename T>
void WriteSettings(QXmlStreamWriter& writer, const T& settings, const char* message)
{
    if (ModelAccess::Write(settings, writer) != MT_OK)
        throw XmlException(MT_XML_WRITE_FAILED, message);
}

} // namespace

// AbstractImage

AbstractImage::AbstractImage(
    const QString& filename, const QString& path, bool enabled, bool collapsed)
    : m_path(path)
    , m_filename(filename)
    , m_enabled(enabled)
    , m_collapsed(collapsed)
{
}

bool AbstractImage::IsLinked() const
{
    return !m_path.isEmpty() && QFile::exists(m_path);
}

MTerr AbstractImage::LoadLayerImage(const QDomElement& element)
{
    return GuardedLoad([&] {
        m_enabled = ReadAttributeValue<bool>(element, QStringLiteral("enabled"));
        m_collapsed = ReadAttributeValue<bool>(element, QStringLiteral("collapsed"));
        m_filename = ReadElementValue<QString>(element, QStringLiteral("filename"));
        m_path = ReadElementValue<QString>(element, QStringLiteral("path"));
        m_thumbnailFilename
            = ReadElementValue<QString>(element, QStringLiteral("thumbnailFilename"));
    });
}

MTerr AbstractImage::WriteLayerImage(QXmlStreamWriter& writer, const QString& element) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(element);
        WriteAttributeValue(writer, QStringLiteral("enabled"), m_enabled);
        WriteAttributeValue(writer, QStringLiteral("collapsed"), m_collapsed);
        WriteElementValue(writer, QStringLiteral("filename"), m_filename);
        WriteElementValue(writer, QStringLiteral("path"), m_path);
        WriteElementValue(writer, QStringLiteral("thumbnailFilename"), m_thumbnailFilename);
        writer.writeEndElement();
    });
}

// BackgroundImage and OverlayImage

BackgroundImage::BackgroundImage(const QString& filename, const QString& path, bool enabled)
    : AbstractImage(filename, path, enabled, false)
{
}

BackgroundImage::~BackgroundImage() = default;

MTerr BackgroundImage::LoadFromXml(const QDomElement& element)
{
    return LoadLayerImage(element);
}

MTerr BackgroundImage::WriteToXml(QXmlStreamWriter& writer) const
{
    return WriteLayerImage(writer, QStringLiteral("backgroundImage"));
}

OverlayImage::OverlayImage(
    const QString& filename, const QString& path, bool enabled, bool collapsed)
    : AbstractImage(filename, path, enabled, collapsed)
{
}

OverlayImage::~OverlayImage() = default;

MTerr OverlayImage::LoadFromXml(const QDomElement& element)
{
    return LoadLayerImage(element);
}

MTerr OverlayImage::WriteToXml(QXmlStreamWriter& writer) const
{
    return WriteLayerImage(writer, QStringLiteral("overlayImage"));
}

// ForegroundImage

ForegroundImage::ForegroundImage(const QString& filename, const QString& path, bool enabled,
    bool viewed, bool unique, bool batched)
    : AbstractImage(filename, path, enabled, false)
    , m_unique(unique)
    , m_viewed(viewed)
    , m_batched(batched)
{
}

ForegroundImage::~ForegroundImage() = default;

bool ForegroundImage::HasUniqueSettings() const
{
    return m_uniqueForegroundImageSettings && m_uniqueBackgroundImageSettings
        && m_uniqueOverlayImageSettings;
}

// A unique image without its own settings (constructed unique, never copied) falls back to
// the defaults rather than handing the render engine an empty pointer.
std::shared_ptr<ForegroundImageSettings> ForegroundImage::ForegroundSettings() const
{
    return m_unique && HasUniqueSettings() ? m_uniqueForegroundImageSettings
                                           : m_defaultForegroundImageSettings;
}

std::shared_ptr<BackgroundImageSettings> ForegroundImage::BackgroundSettings() const
{
    return m_unique && HasUniqueSettings() ? m_uniqueBackgroundImageSettings
                                           : m_defaultBackgroundImageSettings;
}

std::shared_ptr<OverlayImageSettings> ForegroundImage::OverlaySettings() const
{
    return m_unique && HasUniqueSettings() ? m_uniqueOverlayImageSettings
                                           : m_defaultOverlayImageSettings;
}

void ForegroundImage::SetDefault(std::shared_ptr<ForegroundImageSettings> foreground,
    std::shared_ptr<BackgroundImageSettings> background,
    std::shared_ptr<OverlayImageSettings> overlay)
{
    m_defaultForegroundImageSettings = std::move(foreground);
    m_defaultBackgroundImageSettings = std::move(background);
    m_defaultOverlayImageSettings = std::move(overlay);
}

bool ForegroundImage::SetUnique(bool unique)
{
    if (!unique) {
        m_uniqueForegroundImageSettings.reset();
        m_uniqueBackgroundImageSettings.reset();
        m_uniqueOverlayImageSettings.reset();
        m_unique = false;
        return true;
    }
    if (!HasUniqueSettings()) {
        if (!m_defaultForegroundImageSettings || !m_defaultBackgroundImageSettings
            || !m_defaultOverlayImageSettings)
            return false;
        // Build all three before storing any, so that running out of memory half-way leaves
        // the image as it was.
        auto foreground
            = std::make_shared<ForegroundImageSettings>(*m_defaultForegroundImageSettings);
        auto background
            = std::make_shared<BackgroundImageSettings>(*m_defaultBackgroundImageSettings);
        auto overlay = std::make_shared<OverlayImageSettings>(*m_defaultOverlayImageSettings);
        m_uniqueForegroundImageSettings = std::move(foreground);
        m_uniqueBackgroundImageSettings = std::move(background);
        m_uniqueOverlayImageSettings = std::move(overlay);
    }
    m_unique = true;
    return true;
}

MTerr ForegroundImage::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        m_enabled = ReadAttributeValue<bool>(element, QStringLiteral("enabled"));
        m_viewed = ReadAttributeValue<bool>(element, QStringLiteral("viewed"));
        m_batched = ReadAttributeValue<bool>(element, QStringLiteral("batched"));
        const bool unique = ReadAttributeValue<bool>(element, QStringLiteral("unique"));
        m_filename = ReadElementValue<QString>(element, QStringLiteral("filename"));
        m_path = ReadElementValue<QString>(element, QStringLiteral("path"));
        m_thumbnailFilename = ReadElementValue<QString>(element, QStringLiteral("thumbnail"));
        SetUnique(false);
        if (!unique)
            return;
        // All three or none: the image becomes unique only once every settings object loaded.
        auto foreground = LoadSettings<ForegroundImageSettings>(
            element, "unique foreground image settings could not be loaded");
        auto background = LoadSettings<BackgroundImageSettings>(
            element, "unique background image settings could not be loaded");
        auto overlay = LoadSettings<OverlayImageSettings>(
            element, "unique overlay image settings could not be loaded");
        m_uniqueForegroundImageSettings = std::move(foreground);
        m_uniqueBackgroundImageSettings = std::move(background);
        m_uniqueOverlayImageSettings = std::move(overlay);
        m_unique = true;
    });
}

MTerr ForegroundImage::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        const bool unique = m_unique && HasUniqueSettings();
        writer.writeStartElement(QStringLiteral("foregroundImage"));
        WriteAttributeValue(writer, QStringLiteral("enabled"), m_enabled);
        WriteAttributeValue(writer, QStringLiteral("viewed"), m_viewed);
        WriteAttributeValue(writer, QStringLiteral("batched"), m_batched);
        WriteAttributeValue(writer, QStringLiteral("unique"), unique);
        WriteElementValue(writer, QStringLiteral("filename"), m_filename);
        WriteElementValue(writer, QStringLiteral("path"), m_path);
        WriteElementValue(writer, QStringLiteral("thumbnail"), m_thumbnailFilename);
        if (unique) {
            WriteSettings(writer, *m_uniqueForegroundImageSettings,
                "m_uniqueForegroundImageSettings image settings could not be saved");
            WriteSettings(writer, *m_uniqueBackgroundImageSettings,
                "m_uniqueBackgroundImageSettings image settings could not be saved");
            WriteSettings(writer, *m_uniqueOverlayImageSettings,
                "m_uniqueOverlayImageSettings image settings could not be saved");
        }
        writer.writeEndElement();
    });
}

} // namespace mtra::app
