// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>
#include <app/ImageSettings.h>
#include <app/LayerImages.h>

#include <QString>

#include <map>
#include <memory>

namespace mtra::app {

/// The batch: the foreground images keyed by their absolute path, in `QString` order (UTF-16
/// code units), which is also the order of export and of the project file, and the default
/// settings they share.
///
/// Only the project creates the batch and owns it by value. The default settings and the
/// empty image exist from the first load on; `Get` never returns an empty pointer after it.
/// Element "foregroundImageList" under the project element. GUI thread only.
class APP_EXPORT ForegroundImageList final : public AbstractProjectItem
{
public:
    using ConstIterator = std::map<QString, std::shared_ptr<ForegroundImage>>::const_iterator;

    ForegroundImageList(const ForegroundImageList&) = delete;
    ForegroundImageList& operator=(const ForegroundImageList&) = delete;
    ~ForegroundImageList() override;

    /// Gives `image` the batch's default settings and adds it under its path. An image whose
    /// path is already listed is refused with `MT_IMAGE_ALREADY_LISTED` (13), and so is an
    /// empty pointer or an empty path (it would hide the empty image); both leave batch and
    /// image unchanged.
    MTerr Add(std::shared_ptr<ForegroundImage> image);
    /// `MT_IMAGE_NOT_LISTED` (14) when no image has `path`.
    MTerr Remove(const QString& path);
    /// Points the image listed under `oldPath` at its file's new place: it is listed under
    /// `newPath`, with `newPath` as its path and `newName` as its display name, and keeps
    /// everything else (its own settings while unique, its flags, its thumbnail name), so
    /// `Get(newPath)` is that image and `Find(oldPath)` false. `MT_IMAGE_NOT_LISTED` (14) when
    /// no image has `oldPath`; `MT_IMAGE_ALREADY_LISTED` (13) when `newPath` is empty or another
    /// image's. `newPath` equal to `oldPath` only renames. Nothing changes on failure. The
    /// project's current foreground path is the caller's to update.
    MTerr Relink(const QString& oldPath, const QString& newPath, const QString& newName);
    /// The image with `path`, or the empty image (empty path, default settings) for a null or
    /// unknown path.
    std::shared_ptr<ForegroundImage> Get(const QString& path) const;
    bool Find(const QString& path) const;
    /// Removes every image; the default settings and the empty image stay.
    void Clear();
    unsigned int Size() const;
    ConstIterator Begin() const { return m_images.cbegin(); }
    ConstIterator End() const { return m_images.cend(); }

    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsCollapsed() const { return m_collapsed; }
    void SetCollapsed(bool collapsed) { m_collapsed = collapsed; }

    std::shared_ptr<ForegroundImageSettings> DefaultForegroundSettings() const
    {
        return m_defaultForegroundImageSettings;
    }
    std::shared_ptr<BackgroundImageSettings> DefaultBackgroundSettings() const
    {
        return m_defaultBackgroundImageSettings;
    }
    std::shared_ptr<OverlayImageSettings> DefaultOverlaySettings() const
    {
        return m_defaultOverlayImageSettings;
    }

    /// Marks every item of the default settings and of each unique image's settings active
    /// exactly when it has an effect, as the program's widgets show it.
    void UpdateActiveFlags();

private:
    friend class ModelAccess;
    friend class Project;

    ForegroundImageList();

    /// Replaces the default settings and the empty image, then adds the images of the element
    /// (`element` is the "foregroundImageList" element itself) after those already listed.
    /// Every image of the batch then uses the new defaults. An image element that yields no
    /// path, or repeats a listed path, is dropped; a damaged image keeps the values read before
    /// the damage, as a shared image. A missing attribute or failing default settings give 4.
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;
    /// Makes every relative image path absolute against `folder` (the project file's folder),
    /// re-keying the images; of two that then share a path the first in path order stays.
    void ResolveRelativePaths(const QString& folder);

    std::map<QString, std::shared_ptr<ForegroundImage>> m_images;
    std::shared_ptr<ForegroundImageSettings> m_defaultForegroundImageSettings;
    std::shared_ptr<BackgroundImageSettings> m_defaultBackgroundImageSettings;
    std::shared_ptr<OverlayImageSettings> m_defaultOverlayImageSettings;
    std::shared_ptr<ForegroundImage> m_emptyImage;
    bool m_enabled = true;
    bool m_collapsed = false;
};

} // namespace mtra::app
