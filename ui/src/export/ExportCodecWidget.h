// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ExportSettings.h>

#include <QValidator>
#include <QWidget>

class QLineEdit;

namespace mtra::ui {

class BodyWidget;
class ComboBox;
class SpinSlider;
class TitleWidget;

/// Accepts what may stand before or after an exported file name: the library's affix rule
/// (letters, numbers and marks of any script, "_", ".", "(", ")", "&", space and "-", at most
/// 20 characters), so no name typed here can leave the export folder or fail to save.
class AffixValidator : public QValidator
{
    Q_OBJECT
public:
    explicit AffixValidator(QObject* parent = nullptr);
    State validate(QString& input, int& position) const override;
};

/// The export "Options": format, JPEG quality, prefix and postfix, and a preview of the file
/// names they give. Every change is stored in the project's export settings at once; the
/// controls follow the project on `UpdateFromProject` (New, Open) without storing anything
/// back. Owned by the export section; GUI thread only.
class ExportCodecWidget : public QWidget
{
    Q_OBJECT
public:
    /// Combo-box entries, in order.
    enum FormatIndex { IndexJPEG = 0, IndexPNG = 1, IndexTIFF = 2 };

    explicit ExportCodecWidget(QWidget* parent = nullptr);

    /// The entry that shows `format`: TIFF and JPEG their own, every other value PNG (the
    /// format such a project exports as).
    static int IndexOfFormat(app::ExportFormat format);

    ComboBox* FormatBox() const { return m_format; }
    SpinSlider* QualityControl() const { return m_quality; }
    QLineEdit* PrefixEdit() const { return m_prefix; }
    QLineEdit* PostfixEdit() const { return m_postfix; }
    QLineEdit* NamePreview() const { return m_preview; }

public slots:
    void UpdateFormat(int index);
    void UpdateQuality(int quality);
    void PrefixTextChanged(const QString& text);
    void PostfixTextChanged(const QString& text);
    void SetCollapsed(bool expanded);
    void UpdateFromProject();

private:
    /// Stores a change to the project's export settings through the document.
    template <typename Change> void Store(Change change);
    void UpdatePreview();

    TitleWidget* m_title;
    BodyWidget* m_body;
    ComboBox* m_format;
    SpinSlider* m_quality;
    QLineEdit* m_prefix;
    QLineEdit* m_postfix;
    QLineEdit* m_preview;
};

} // namespace mtra::ui
