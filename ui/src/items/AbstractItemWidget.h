// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ItemTypes.h>
#include <app/ProjectDocument.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QUuid>
#include <QWidget>

#include <memory>

class QGridLayout;

namespace mtra::app {
class AbstractCompositeItem;
class AbstractFilterItem;
class AbstractKeyItem;
class AbstractRenderItem;
} // namespace mtra::app

namespace mtra::ui {

class BodyWidget;
class TitleWidget;

/// The panel that edits one key, filter or composite item of the current foreground image:
/// a title bar (name, collapse button, enable check box, for filters up and down) over a body
/// of value controls.
///
/// The widget keeps only the item's id and the layer whose settings hold it; every edit looks
/// the item up again in the current image's settings (its own when unique, the batch's shared
/// settings otherwise), writes the value, sets the item active exactly when it has an effect
/// (`HasEffect()`, the rule the engine uses), reports the edit to the application and refreshes
/// the widget's own layer from the item's stage. An item that is no longer there is left alone.
///
/// Owned by the section that built it; GUI thread only.
class AbstractItemWidget : public QWidget
{
    Q_OBJECT
public:
    using Factor = orv::image::OVDownsampleFactor;

    ~AbstractItemWidget() override;

    const QUuid& Id() const { return m_id; }
    bool IsItemEnabled() const { return m_enabled; }
    /// True while the body is shown (the item's "collapsed" flag holds the same value).
    bool IsCollapsed() const { return m_collapsed; }
    bool IsActive() const { return m_active; }
    app::LayerID Layer() const { return m_layer; }
    app::Stage ItemStage() const { return m_stage; }
    TitleWidget* Title() const { return m_title; }
    BodyWidget* Body() const { return m_body; }

public slots:
    /// `state` as a check box gives it: 2 (`Qt::Checked`) enables the item.
    void SetEnabled(int state) { SetEnabled(state, true); }
    void SetEnabled(int state, bool update);
    /// `expanded`: the body is shown.
    void SetCollapsed(bool expanded);

protected:
    AbstractItemWidget(app::LayerID layer, app::Stage stage, QWidget* parent);

    /// The item with this widget's id in the current image's settings, or null.
    virtual std::shared_ptr<app::AbstractRenderItem> FindItem() const = 0;
    /// The item's own `HasEffect()`.
    virtual bool ItemHasEffect() const = 0;

    template <typename T> std::shared_ptr<T> Find() const
    {
        return std::dynamic_pointer_cast<T>(FindItem());
    }

    /// Adds a labelled control to the body (`label` empty: the body's only control).
    void AddControl(const QString& label, QWidget* control);
    /// Takes id and flags from `item`, adds the title bar and lays the widget out; the
    /// controls must already show the item's values.
    void Finish(const QString& title, const app::AbstractRenderItem& item, bool movable);
    /// After a value was written: active flag from the item's effect, the edit reported (at
    /// `factor` alone while dragging), and with `update` a refresh of the widget's layer.
    void Edited(Factor factor, bool update);
    /// Sets the active flag from the item (on construction and after a reset).
    void RefreshActive();

private:
    app::LayerID m_layer;
    app::Stage m_stage;
    QUuid m_id;
    bool m_enabled = true;
    bool m_collapsed = true;
    bool m_active = true;
    TitleWidget* m_title = nullptr;
    BodyWidget* m_body = nullptr;
    QGridLayout* m_grid = nullptr;
    QWidget* m_single = nullptr;
};

/// A filter's panel: the filter lists of the foreground (layer 1) and of the background
/// (layer 0) hold filters, so the widget is told which one it edits.
class AbstractFilterWidget : public AbstractItemWidget
{
    Q_OBJECT
public:
    virtual app::FilterItemType FilterType() const = 0;
    /// Back to the neutral values, enabled and expanded, without a refresh (the section
    /// refreshes once for all of them).
    virtual void Reset() = 0;

signals:
    void MoveUp();
    void MoveDown();

protected:
    AbstractFilterWidget(app::LayerID layer, QWidget* parent);
    std::shared_ptr<app::AbstractRenderItem> FindItem() const override;
    bool ItemHasEffect() const override;
    /// The common part of `Reset()` before the controls return to their defaults.
    void ResetFrame();

private:
    std::shared_ptr<app::AbstractFilterItem> FindFilter() const;
};

/// A key step's panel (foreground key list).
class AbstractKeyWidget : public AbstractItemWidget
{
    Q_OBJECT
public:
    /// Back to the default values, enabled and expanded, without a refresh. The key colour is
    /// the user's choice of screen and stays.
    virtual void Reset() = 0;

protected:
    explicit AbstractKeyWidget(QWidget* parent);
    std::shared_ptr<app::AbstractRenderItem> FindItem() const override;
    bool ItemHasEffect() const override;
    void ResetFrame();

private:
    std::shared_ptr<app::AbstractKeyItem> FindKey() const;
};

/// A composite's panel (foreground composite list).
class AbstractCompositeWidget : public AbstractItemWidget
{
    Q_OBJECT
public:
    /// Back to the neutral values, enabled and expanded, without a refresh.
    virtual void Reset() = 0;

protected:
    explicit AbstractCompositeWidget(QWidget* parent);
    std::shared_ptr<app::AbstractRenderItem> FindItem() const override;
    bool ItemHasEffect() const override;
    void ResetFrame();

private:
    std::shared_ptr<app::AbstractCompositeItem> FindComposite() const;
};

} // namespace mtra::ui
