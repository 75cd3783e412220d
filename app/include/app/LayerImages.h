// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>
#include <app/ImageSettings.h>

#include <QString>

#include <memory>

namespace mtra::app {

/// The image file of one layer: its absolute path, the name shown to the user, the name of its
/// cached thumbnail (the cache folder is the program's) and the layer's enabled and collapsed
/// flags. Setters store values unchanged. Held through std::shared_ptr; GUI thread only.
class APP_EXPORT AbstractImage : public AbstractProjectItem
{
public:
    const QString& Path() const { return m_path; }
    const QString& Filename() const { return m_filename; }
    const QString& ThumbnailFilename() const { return m_thumbnailFilename; }
    /// Whether a file exists at `Path()`; an image whose file is missing is offline but stays
    /// in the project.
    bool IsLinked() const;
    bool IsEnabled() const { return m_enabled; }
    bool IsCollapsed() const { return m_collapsed; }
    void SetPath(const QString& path) { m_path = path; }
    void SetFilename(const QString& filename) { m_filename = filename; }
    void SetThumbnailFilename(const QString& name) { m_thumbnailFilename = name; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    void SetCollapsed(bool collapsed) { m_collapsed = collapsed; }

protected:
    AbstractImage() = default;
    AbstractImage(const QString& filename, const QString& path, bool enabled, bool collapsed);
    AbstractImage(const AbstractImage&) = default;
    AbstractImage& operator=(const AbstractImage&) = default;

    /// The stored form of the background and overlay images: attributes "enabled" then
    /// "collapsed", strings "filename", "path", "thumbnailFilename". The element's own name is
    /// not checked (the project found it).
    MTerr LoadLayerImage(const QDomElement& element);
    MTerr WriteLayerImage(QXmlStreamWriter& writer, const QString& element) const;

    QString m_path;
    QString m_filename;
    QString m_thumbnailFilename;
    bool m_enabled = true;
    bool m_collapsed = false;
};

/// The background image of the project; element "backgroundImage".
class APP_EXPORT BackgroundImage final : public AbstractImage
{
public:
    BackgroundImage() = default;
    /// Not collapsed, no thumbnail name.
    BackgroundImage(const QString& filename, const QString& path, bool enabled);
    ~BackgroundImage() override;

private:
    friend class ModelAccess;

    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;
};

/// The optional overlay image of the project; element "overlayImage".
class APP_EXPORT OverlayImage final : public AbstractImage
{
public:
    OverlayImage() = default;
    /// No thumbnail name.
    OverlayImage(const QString& filename, const QString& path, bool enabled, bool collapsed);
    ~OverlayImage() override;

private:
    friend class ModelAccess;

    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;
};

/// One foreground image of the batch with its settings. It uses the batch's shared default
/// settings (given by `SetDefault`, normally by `ForegroundImageList::Add`) unless it is made
/// unique, in which case it owns a deep copy of all three that affects this image alone.
///
/// Element "foregroundImage" with attributes "enabled", "viewed", "batched", "unique" and the
/// strings "filename", "path", "thumbnail"; a unique image also holds its three settings.
/// The collapsed flag is not stored. Held through std::shared_ptr; GUI thread only.
class APP_EXPORT ForegroundImage final : public AbstractImage
{
public:
    ForegroundImage() = default;
    /// Not collapsed, no thumbnail name, no settings. `unique` is stored as given without
    /// making copies; the first load or `SetUnique(true)` after `SetUnique(false)` makes them.
    ForegroundImage(const QString& filename, const QString& path, bool enabled, bool viewed,
        bool unique, bool batched);
    ~ForegroundImage() override;

    /// The settings in use: the image's own while unique (when it has them), else the
    /// batch's defaults. Empty before the image has defaults.
    std::shared_ptr<ForegroundImageSettings> ForegroundSettings() const;
    std::shared_ptr<BackgroundImageSettings> BackgroundSettings() const;
    std::shared_ptr<OverlayImageSettings> OverlaySettings() const;

    /// Shares (does not copy) the batch's default settings.
    void SetDefault(std::shared_ptr<ForegroundImageSettings> foreground,
        std::shared_ptr<BackgroundImageSettings> background,
        std::shared_ptr<OverlayImageSettings> overlay);

    /// true: copies the current defaults into the image's own settings, unless it already has
    /// them (their changes are kept). false: discards the image's own settings. Making an image
    /// without defaults unique keeps it shared and returns false; otherwise returns true.
    bool SetUnique(bool unique);
    bool IsUnique() const { return m_unique; }
    bool IsViewed() const { return m_viewed; }
    void SetViewed(bool viewed) { m_viewed = viewed; }
    bool IsBatched() const { return m_batched; }
    void SetBatched(bool batched) { m_batched = batched; }

private:
    friend class ModelAccess;

    /// A unique image whose settings fail to load gives 4 and is left shared, never unique
    /// with missing settings.
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;
    bool HasUniqueSettings() const;

    std::shared_ptr<ForegroundImageSettings> m_defaultForegroundImageSettings;
    std::shared_ptr<BackgroundImageSettings> m_defaultBackgroundImageSettings;
    std::shared_ptr<OverlayImageSettings> m_defaultOverlayImageSettings;
    std::shared_ptr<ForegroundImageSettings> m_uniqueForegroundImageSettings;
    std::shared_ptr<BackgroundImageSettings> m_uniqueBackgroundImageSettings;
    std::shared_ptr<OverlayImageSettings> m_uniqueOverlayImageSettings;
    bool m_unique = false;
    bool m_viewed = false;
    bool m_batched = false;
};

} // namespace mtra::app
