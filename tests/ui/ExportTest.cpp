// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The canvas size section, the export options and the export run from the window: sizes
// accepted and refused, the controls following New and Open, file names, formats, the
// questions of the run and what stays on disk when something goes wrong.

#include "UiFixture.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "export/ExportCodecWidget.h"
#include "export/ExportFailureDialog.h"
#include "export/ExportSection.h"
#include "export/ExportSelectionWidget.h"
#include "export/WindowExport.h"
#include "import/ImportSection.h"
#include "import/ImportSupport.h"
#include "import/ListView.h"
#include "sections/CanvasSizeSection.h"
#include "sections/OverlaySection.h"

#include <app/BatchExport.h>
#include <app/Canvas.h>
#include <app/ExportFormats.h>
#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/RenderEngine.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

namespace mtra::ui::test {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// --- Canvas size ---------------------------------------------------------------------------

class CanvasSizeTest : public UiFixture
{
protected:
    app::Canvas& Canvas() { return Project().GetCanvas(); }
    QSize CanvasSize() { return QSize(int(Canvas().Width()), int(Canvas().Height())); }
    /// The combo-box entry of a print size, by its text.
    static int Entry(CanvasSizeWidget& widget, const QString& text)
    {
        return widget.SizeBox()->findText(text);
    }
    static int Dpi(CanvasSizeWidget& widget, int dpi)
    {
        return widget.ResolutionBox()->findText(QStringLiteral("%1 dpi").arg(dpi));
    }
};

TEST_F(CanvasSizeTest, ShippedOptionsAndTheirTexts)
{
    CanvasSizeWidget widget;
    EXPECT_TRUE(widget.Options().error.isEmpty());
    ASSERT_EQ(widget.SizeBox()->count(), 12);
    EXPECT_EQ(widget.SizeBox()->itemText(0), "As foreground");
    EXPECT_EQ(widget.SizeBox()->itemText(1), "As background");
    EXPECT_EQ(widget.SizeBox()->itemText(3), "3.5 x 5 inch");
    EXPECT_EQ(widget.SizeBox()->itemText(4), "4 x 6 inch");
    EXPECT_EQ(widget.SizeBox()->maxVisibleItems(), 12);
    EXPECT_EQ(widget.ResolutionBox()->count(), 5);
    // The default project is 4 x 6 inches at 200 dpi, portrait.
    EXPECT_EQ(widget.SizeBox()->currentText(), "4 x 6 inch");
    EXPECT_EQ(widget.ResolutionBox()->currentText(), "200 dpi");
    EXPECT_TRUE(widget.PortraitButton()->isChecked());
}

TEST_F(CanvasSizeTest, OptionsDocumentErrorsKeepWhatWasRead)
{
    QByteArray text = "<canvas_options><canvas_sizes><size><width>2</width><height>x</height>"
                      "</size><other><size/></other></canvas_sizes><resolution_sizes>"
                      "<resolution>72</resolution><resolution>many</resolution>"
                      "</resolution_sizes></canvas_options>";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    CanvasOptions options;
    EXPECT_TRUE(options.Read(buffer));
    ASSERT_EQ(options.sizes.size(), 1u);
    EXPECT_EQ(options.sizes[0], std::make_pair(2.0f, -1.0f));
    EXPECT_EQ(options.resolutions, std::vector<int>({ 72 }));

    QByteArray wrong = "<sizes><size/></sizes>";
    QBuffer wrongBuffer(&wrong);
    wrongBuffer.open(QIODevice::ReadOnly);
    CanvasOptions refused;
    EXPECT_FALSE(refused.Read(wrongBuffer));
    EXPECT_EQ(refused.error, "Not a canvas_options file");
    EXPECT_TRUE(refused.sizes.empty());
}

TEST_F(CanvasSizeTest, PrintSizesAtResolutions)
{
    CanvasSizeWidget widget;
    widget.SizeBox()->setCurrentIndex(Entry(widget, "4 x 6 inch"));
    EXPECT_EQ(CanvasSize(), QSize(800, 1200));
    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 300));
    EXPECT_EQ(CanvasSize(), QSize(1200, 1800));
    EXPECT_EQ(Canvas().DPI(), 300);

    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 200));
    widget.SizeBox()->setCurrentIndex(Entry(widget, "3.5 x 5 inch"));
    EXPECT_EQ(CanvasSize(), QSize(700, 1000));
    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 400));
    EXPECT_EQ(CanvasSize(), QSize(1400, 2000));

    widget.SizeBox()->setCurrentIndex(Entry(widget, "11 x 14 inch"));
    EXPECT_EQ(CanvasSize(), QSize(4400, 5600));
    widget.SizeBox()->setCurrentIndex(Entry(widget, "12 x 8 inch"));
    EXPECT_EQ(CanvasSize(), QSize(4800, 3200));
    EXPECT_TRUE(widget.LandscapeButton()->isChecked());
    EXPECT_EQ(Canvas().DimensionType(), app::DimensionPrintSize);
    EXPECT_TRUE(Script().Texts().isEmpty());
}

TEST_F(CanvasSizeTest, LandscapeTwiceKeepsLandscape)
{
    CanvasSizeWidget widget;
    widget.LandscapeButton()->click();
    EXPECT_EQ(CanvasSize(), QSize(1200, 800));
    EXPECT_EQ(Canvas().Orientation(), app::OrientationLandscape);
    widget.LandscapeButton()->click();
    EXPECT_EQ(CanvasSize(), QSize(1200, 800));
    widget.PortraitButton()->click();
    EXPECT_EQ(CanvasSize(), QSize(800, 1200));
}

TEST_F(CanvasSizeTest, TooLargeIsRefusedAndTheOldEntryReturns)
{
    CanvasSizeWidget widget;
    const int before = widget.SizeBox()->currentIndex();
    Project().SetCurrentForegroundPath(MakeHugeHeaderBmp("huge.bmp", 6000, 4500));
    widget.SizeBox()->setCurrentIndex(0);
    EXPECT_EQ(CanvasSize(), QSize(800, 1200));
    EXPECT_EQ(widget.SizeBox()->currentIndex(), before);
    EXPECT_EQ(Canvas().DimensionType(), app::DimensionPrintSize);
    EXPECT_EQ(Script().Texts(),
        QStringList({ "The options you have chosen have produced a canvas size which is "
                      "unsupported." }));

    // A resolution that makes the print size too large returns to the old resolution.
    Script().Clear();
    widget.SizeBox()->setCurrentIndex(Entry(widget, "11 x 14 inch"));
    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 400));
    EXPECT_EQ(CanvasSize(), QSize(4400, 5600));
    // 11 x 14 inches at 400 dpi is the largest; the same canvas read as 72 dpi would be
    // huge at 400.
    Canvas().SetDPI(72);
    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 300));
    EXPECT_EQ(CanvasSize(), QSize(4400, 5600));
    EXPECT_EQ(widget.ResolutionBox()->currentText(), "400 dpi");
    EXPECT_EQ(Script().Texts().size(), 1);

    // Read as 1 dpi, 4400 x 5600 is 4400 x 5600 inches: at 300 dpi each side is millions of
    // pixels and the product far beyond what an int holds; it must not wrap into a yes.
    Canvas().SetDPI(1);
    widget.ResolutionBox()->setCurrentIndex(Dpi(widget, 300));
    EXPECT_EQ(CanvasSize(), QSize(4400, 5600));
    EXPECT_EQ(Script().Texts().size(), 2);
}

TEST_F(CanvasSizeTest, AsForegroundAndBackground)
{
    CanvasSizeWidget widget;
    widget.SizeBox()->setCurrentIndex(0);
    EXPECT_EQ(CanvasSize(), QSize(200, 200));
    EXPECT_EQ(Canvas().DimensionType(), app::DimensionAsForeground);
    EXPECT_FALSE(widget.ResolutionBox()->isEnabled());
    EXPECT_FALSE(widget.PortraitButton()->isEnabled());

    // A photo stored on its side counts with its upright size.
    const QString sideways = QStringLiteral(MTRA_TEST_DATA_DIR "/photos/Landscape_6.jpg");
    Project().SetCurrentForegroundPath(sideways);
    widget.SizeBox()->setCurrentIndex(1);
    widget.SizeBox()->setCurrentIndex(0);
    EXPECT_EQ(CanvasSize(), QSize(1800, 1200));

    ASSERT_TRUE(App().SetBackgroundLayerImage(MakePhoto("bg.png", 90, 70)));
    widget.SizeBox()->setCurrentIndex(1);
    EXPECT_EQ(CanvasSize(), QSize(90, 70));
    EXPECT_EQ(Canvas().DimensionType(), app::DimensionAsBackground);

    widget.SizeBox()->setCurrentIndex(Entry(widget, "5 x 7 inch"));
    EXPECT_TRUE(widget.ResolutionBox()->isEnabled());
    EXPECT_EQ(CanvasSize(), QSize(1000, 1400));
}

TEST_F(CanvasSizeTest, FollowsTheProjectWithoutStoring)
{
    CanvasSizeWidget widget;
    // A landscape 6 x 4 print size matches no entry (the list has 4 x 6 only).
    ASSERT_EQ(App().Document().ResizeCanvas(1200, 800), app::MT_OK);
    Canvas().SetOrientation(app::OrientationLandscape);
    widget.UpdateFromProject();
    EXPECT_EQ(widget.SizeBox()->currentIndex(), -1);
    EXPECT_TRUE(widget.LandscapeButton()->isChecked());

    Canvas().SetDimensionType(app::DimensionAsBackground);
    Canvas().SetDPI(144);
    widget.UpdateFromProject();
    EXPECT_EQ(widget.SizeBox()->currentIndex(), 1);
    EXPECT_EQ(widget.ResolutionBox()->currentText(), "144 dpi");
    EXPECT_FALSE(widget.LandscapeButton()->isEnabled());
    EXPECT_EQ(CanvasSize(), QSize(1200, 800));

    Canvas().SetDPI(150);
    widget.UpdateFromProject();
    EXPECT_EQ(widget.ResolutionBox()->currentIndex(), -1);
}

// --- Export options ------------------------------------------------------------------------

using ExportCodecTest = UiFixture;

TEST_F(ExportCodecTest, AffixesFollowTheLibraryRule)
{
    ExportCodecWidget widget;
    QLineEdit* prefix = widget.PrefixEdit();
    for (const char* refused : { "a/b", "50%", "a\\b" }) {
        prefix->clear();
        QTest::keyClicks(prefix, QString::fromUtf8(refused));
        EXPECT_NE(prefix->text(), QString::fromUtf8(refused)) << refused;
    }
    for (const char* accepted : { "फोटो_", "café", "(a) & b.-" }) {
        prefix->clear();
        prefix->insert(QString::fromUtf8(accepted));
        EXPECT_EQ(prefix->text(), QString::fromUtf8(accepted));
    }
    prefix->clear();
    QTest::keyClicks(prefix, QString(21, QLatin1Char('x')));
    EXPECT_EQ(prefix->text().size(), 20);
    EXPECT_EQ(Project().GetExportSettings().Prefix(), std::wstring(20, L'x'));

    widget.PostfixEdit()->setText(QStringLiteral("_1"));
    EXPECT_EQ(widget.NamePreview()->text(), QString(20, QLatin1Char('x')) + "<filename>_1");
    EXPECT_TRUE(App().IsProjectModified());
}

TEST_F(ExportCodecTest, LosslessFormatsKeepTheQuality)
{
    ExportCodecWidget widget;
    EXPECT_EQ(widget.FormatBox()->currentText(), "PNG");
    EXPECT_FALSE(widget.QualityControl()->isEnabled());
    widget.FormatBox()->setCurrentIndex(ExportCodecWidget::IndexJPEG);
    EXPECT_EQ(Project().GetExportSettings().Format(), app::FormatJPEG);
    EXPECT_TRUE(widget.QualityControl()->isEnabled());
    widget.QualityControl()->GetSpinBox()->setValue(73);
    EXPECT_EQ(Project().GetExportSettings().Quality(), 73);
    widget.FormatBox()->setCurrentIndex(ExportCodecWidget::IndexTIFF);
    EXPECT_EQ(Project().GetExportSettings().Format(), app::FormatTIFF);
    EXPECT_FALSE(widget.QualityControl()->isEnabled());
    EXPECT_EQ(Project().GetExportSettings().Quality(), 73);
    widget.FormatBox()->setCurrentIndex(ExportCodecWidget::IndexPNG);
    EXPECT_EQ(Project().GetExportSettings().Format(), app::FormatPNG);
    EXPECT_EQ(Project().GetExportSettings().Quality(), 73);

    for (app::ExportFormat reserved : { app::FormatReserved0, app::FormatReserved1 }) {
        EXPECT_EQ(ExportCodecWidget::IndexOfFormat(reserved), ExportCodecWidget::IndexPNG);
        EXPECT_EQ(app::ExportFormatFor(reserved, 90).extension, "png");
    }
}

TEST_F(ExportCodecTest, FollowsNewAndOpenedProjects)
{
    ExportCodecWidget widget;
    widget.FormatBox()->setCurrentIndex(ExportCodecWidget::IndexJPEG);
    widget.PrefixEdit()->setText(QStringLiteral("old_"));
    const QString saved = Path("saved.mtrabatch");
    ASSERT_EQ(App().Document().Save(saved), app::MT_OK);

    ASSERT_EQ(App().CreateProject(QString()), app::MT_OK);
    widget.UpdateFromProject();
    EXPECT_EQ(widget.FormatBox()->currentText(), "PNG");
    EXPECT_EQ(widget.PrefixEdit()->text(), "");
    EXPECT_FALSE(App().IsProjectModified()) << "showing a project stores nothing";

    ASSERT_EQ(App().CreateProject(saved), app::MT_OK);
    widget.UpdateFromProject();
    EXPECT_EQ(widget.FormatBox()->currentText(), "JPEG");
    EXPECT_EQ(widget.PrefixEdit()->text(), "old_");
    EXPECT_EQ(widget.NamePreview()->text(), "old_<filename>");
    EXPECT_FALSE(App().IsProjectModified());
}

// --- The export run ------------------------------------------------------------------------

class WindowExportTest : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ASSERT_TRUE(m_out.isValid());
    }
    /// A photo in the batch, on the export list.
    QString AddToExport(const QString& file, int width = 64, int height = 48)
    {
        const QString path = AddCurrentPhoto(file, width, height);
        // Listed under its base name, as the import lists it.
        Project().GetForegroundImageList().Get(path)->SetFilename(
            QFileInfo(file).completeBaseName());
        const int row = App().BatchRowOfPath(path);
        App().SetBatchRowBatched(row, true);
        EXPECT_EQ(App().Document().SetImageBatched(path, true), app::MT_OK);
        return path;
    }
    void SetFormat(app::ExportFormat format, const QString& prefix = QString(),
        const QString& postfix = QString())
    {
        app::ExportSettings settings = Project().GetExportSettings();
        settings.SetFormat(format);
        settings.SetQuality(90);
        settings.SetPrefix(prefix.toStdWString());
        settings.SetSuffix(postfix.toStdWString());
        App().Document().SetExportSettings(settings);
    }
    QString Out(const QString& name) const { return m_out.filePath(name); }
    WindowExportResult Export()
    {
        Script().Queue(m_out.path());
        return ExportBatchImages(nullptr);
    }
    QTemporaryDir m_out;
};

TEST_F(WindowExportTest, NamesFormatAndPixels)
{
    const QString photo = AddToExport("img.001.jpg", 80, 60);
    SetFormat(app::FormatJPEG, "a_", "_1");
    const WindowExportResult result = Export();
    EXPECT_EQ(result.stop, WindowExportResult::Stop::Ran);
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(Script().Texts(), QStringList({ "Finished exporting." }));
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList({ "a_img.001_1.jpg" }));

    app::MTerr error = app::MT_OK;
    const QImage expected = App().GetRenderEngine().ExportQImage(photo, error);
    ASSERT_EQ(error, app::MT_OK);
    EXPECT_EQ(expected.size(), QSize(800, 1200));
    QByteArray bytes;
    ASSERT_TRUE(app::EncodeImage(expected, app::ExportFormatFor(app::FormatJPEG, 90), bytes));
    EXPECT_EQ(ReadAll(Out("a_img.001_1.jpg")), bytes);
    EXPECT_EQ(QString::fromStdWString(Project().GetExportSettings().Path()), m_out.path());
    EXPECT_FALSE(App().IsRenderSuspended());
}

TEST_F(WindowExportTest, NothingToExportOrNoFolder)
{
    EXPECT_EQ(ExportBatchImages(nullptr).stop, WindowExportResult::Stop::EmptyList);
    EXPECT_EQ(
        Script().Texts(), QStringList({ "Please add at least one image to the Export List." }));
    AddToExport("a.png");
    Script().Clear();
    EXPECT_EQ(ExportBatchImages(nullptr).stop, WindowExportResult::Stop::NoFolder);
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

TEST_F(WindowExportTest, OverwriteQuestionsKeepOrReplace)
{
    AddToExport("a.png");
    AddToExport("b.png");
    SetFormat(app::FormatPNG);
    ASSERT_TRUE(WriteAll(Out("a.png"), "old a"));
    ASSERT_TRUE(WriteAll(Out("b.png"), "old b"));

    Script().Queue(m_out.path());
    Script().Queue(2); // No for a.png
    Script().Queue(0); // Yes for b.png
    WindowExportResult result = ExportBatchImages(nullptr);
    EXPECT_EQ(ReadAll(Out("a.png")), "old a");
    EXPECT_TRUE(ReadAll(Out("b.png")).startsWith("\x89PNG"));
    EXPECT_TRUE(result.failures.isEmpty());
    EXPECT_EQ(result.skipped, 1);
    const auto question = std::find_if(Script().History().begin(), Script().History().end(),
        [](const ScriptedDialogs::Shown& shown) { return shown.what == "choice"; });
    ASSERT_NE(question, Script().History().end());
    EXPECT_EQ(question->buttons, QStringList({ "Yes", "Yes to all", "No", "Cancel" }));
    EXPECT_TRUE(question->text.contains(QDir::toNativeSeparators(Out("a.png"))));

    // Cancel keeps the file, ends the run and the preview renders again.
    Script().Clear();
    ASSERT_TRUE(WriteAll(Out("b.png"), "old b"));
    Script().Queue(m_out.path());
    Script().Queue(3);
    result = ExportBatchImages(nullptr);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(ReadAll(Out("a.png")), "old a");
    EXPECT_EQ(ReadAll(Out("b.png")), "old b");
    EXPECT_FALSE(App().IsRenderSuspended());
    QImage canvas;
    App().ClearRenderLog();
    EXPECT_EQ(App().RenderAllLayersToCanvas(orv::image::DownsampleQuarter, canvas), app::MT_OK);
    EXPECT_FALSE(App().RenderLog().empty());
    EXPECT_FALSE(canvas.isNull());
}

/// Answers as the script does, but runs out of memory at the overwrite question.
class ExhaustedDialogs : public ScriptedDialogs
{
public:
    int Choose(
        Kind, QWidget*, const QString&, const QString&, const QStringList&, int, int) override
    {
        throw std::bad_alloc();
    }
};

TEST_F(WindowExportTest, OutOfMemoryInTheRunStillRestoresThePreview)
{
    AddToExport("a.png");
    SetFormat(app::FormatPNG);
    ASSERT_TRUE(WriteAll(Out("a.png"), "old a"));
    {
        ExhaustedDialogs dialogs; // installs itself, and uninstalls when it goes
        dialogs.Queue(m_out.path());
        EXPECT_THROW(ExportBatchImages(nullptr), std::bad_alloc);
    }
    SetDialogProvider(&Script());
    EXPECT_FALSE(App().IsRenderSuspended());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ReadAll(Out("a.png")), "old a");
    QImage canvas;
    EXPECT_EQ(App().RenderAllLayersToCanvas(orv::image::DownsampleQuarter, canvas), app::MT_OK);
    EXPECT_FALSE(canvas.isNull());
}

TEST_F(WindowExportTest, UnwritableTargetIsListedWithItsReason)
{
    AddToExport("a.png");
    AddToExport("b.png");
    SetFormat(app::FormatPNG);
    // A folder under the target's name can be neither replaced nor written.
    ASSERT_TRUE(QDir(m_out.path()).mkdir("a.png"));
    Script().Queue(m_out.path());
    Script().Queue(1); // Yes to all
    const WindowExportResult result = ExportBatchImages(nullptr);
    ASSERT_EQ(result.failures.size(), 1);
    EXPECT_TRUE(result.failures[0].startsWith(Path("a.png") + " ("));
    EXPECT_TRUE(QFileInfo(Out("a.png")).isDir());
    EXPECT_TRUE(QFileInfo(Out("b.png")).isFile());
    EXPECT_EQ(Script().History().back().what, "dialog");
    EXPECT_EQ(Script().History().back().title, "Import Error");
    EXPECT_EQ(ExportFailureHeading(1), "The following image failed to export\n");
    EXPECT_EQ(ExportFailureHeading(2), "The following images failed to export\n");
    EXPECT_FALSE(Script().Texts().contains("Finished exporting."));
}

TEST_F(WindowExportTest, OfflineForegroundSkippedOfflineBackgroundStops)
{
    const QString gone = AddToExport("gone.png");
    AddToExport("here.png");
    SetFormat(app::FormatPNG);
    ASSERT_TRUE(QFile::remove(gone));
    Script().Queue(QMessageBox::Yes);
    WindowExportResult result = Export();
    EXPECT_TRUE(result.failures.isEmpty());
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList({ "here.png" }));
    EXPECT_TRUE(App().IsBatchRowOffline(App().BatchRowOfPath(gone)));
    EXPECT_TRUE(Script().Texts().first().startsWith("One or more of the images"));
    EXPECT_EQ(Script().Texts().last(), "Finished exporting.");

    // "No" to the offline question writes nothing.
    Script().Clear();
    QFile::remove(Out("here.png"));
    Script().Queue(QMessageBox::No);
    EXPECT_EQ(ExportBatchImages(nullptr).stop, WindowExportResult::Stop::OfflineDeclined);
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());

    // A background that is on but whose file went away would be missing from every picture.
    Script().Clear();
    const QString background = MakePhoto("bg.png", 90, 70);
    ASSERT_TRUE(App().SetBackgroundLayerImage(background));
    ASSERT_TRUE(QFile::remove(background));
    Script().Queue(QMessageBox::Yes);
    result = Export();
    EXPECT_EQ(result.stop, WindowExportResult::Stop::LayerMissing);
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
    EXPECT_TRUE(Script().Texts().last().contains(background));
}

TEST_F(WindowExportTest, NamesTheFileSystemCannotHoldStopBeforeWriting)
{
    EXPECT_TRUE(IsStorablePath("/tmp/" + QString(255, QLatin1Char('x'))));
    EXPECT_FALSE(IsStorablePath("/tmp/" + QString(256, QLatin1Char('x'))));
    // 128 two-byte characters are 256 bytes.
    EXPECT_FALSE(IsStorablePath("/tmp/" + QString(128, QChar(0xe9))));
    QString deep;
    for (int i = 0; i < 21; ++i) {
        deep += QLatin1Char('/') + QString(200, QLatin1Char('d'));
    }
    EXPECT_FALSE(IsStorablePath(deep));

    AddToExport(QString(240, QLatin1Char('n')) + ".png");
    AddToExport("short.png");
    SetFormat(app::FormatPNG, "prefix_", "_postfix");
    const WindowExportResult result = Export();
    EXPECT_EQ(result.stop, WindowExportResult::Stop::NameTooLong);
    EXPECT_TRUE(Script().Texts().last().startsWith("The Prefix, Postfix and chosen destination"));
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

TEST_F(WindowExportTest, UnsafeAndSharedNamesFailBeforeAnythingIsWritten)
{
    const QString first = AddToExport("one.png");
    const QString second = AddToExport("two.png");
    SetFormat(app::FormatPNG);
    // A hand-made project: a name with a path, and two photos under one name.
    app::ForegroundImageList& batch = Project().GetForegroundImageList();
    batch.Get(first)->SetFilename(QStringLiteral("../escape"));
    const WindowExportResult result = Export();
    ASSERT_EQ(result.failures.size(), 1);
    EXPECT_TRUE(result.failures[0].startsWith(first));
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList({ "two.png" }));
    EXPECT_FALSE(QFileInfo::exists(QDir(m_out.path()).filePath("../escape.png")));

    Script().Clear();
    QFile::remove(Out("two.png"));
    batch.Get(first)->SetFilename(QStringLiteral("two"));
    const WindowExportResult shared = Export();
    EXPECT_EQ(shared.failures.size(), 1);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), 1);
    Q_UNUSED(second);
}

// --- Batch selection -----------------------------------------------------------------------

class ExportSelectionTest : public WindowExportTest
{
protected:
    QString AddAvailable(const QString& file)
    {
        const QString path = AddCurrentPhoto(file);
        Project().GetForegroundImageList().Get(path)->SetFilename(
            QFileInfo(file).completeBaseName());
        EXPECT_EQ(App().Document().SetImageBatched(path, false), app::MT_OK);
        App().SetBatchRowBatched(App().BatchRowOfPath(path), false);
        return path;
    }
    static bool Batched(const QString& path)
    {
        return App().GetProject()->GetForegroundImageList().Get(path)->IsBatched();
    }
    /// Which list shows the row: "available", "export", or "" when neither or both do.
    static QString ListOf(ExportSelectionWidget& widget, const QString& path)
    {
        const int row = App().BatchRowOfPath(path);
        const bool available = !widget.AvailableList()->isRowHidden(row);
        const bool exported = !widget.ExportList()->isRowHidden(row);
        return available == exported ? QString() : available ? "available" : "export";
    }
};

TEST_F(ExportSelectionTest, MovesKeepProjectAndListsInStep)
{
    const QString a = AddAvailable("a.png");
    const QString b = AddAvailable("b.png");
    ExportSelectionWidget widget;
    EXPECT_EQ(ListOf(widget, a), "available");
    EXPECT_EQ(ListOf(widget, b), "available");

    App().BatchSelectionModel()->setCurrentIndex(
        App().BatchIndexOfRow(App().BatchRowOfPath(b)), QItemSelectionModel::ClearAndSelect);
    widget.AddImagesToBatch();
    EXPECT_TRUE(Batched(b));
    EXPECT_FALSE(Batched(a));
    EXPECT_EQ(ListOf(widget, b), "export");
    EXPECT_EQ(ListOf(widget, a), "available");

    widget.AddAllImagesToBatch();
    EXPECT_TRUE(Batched(a));
    EXPECT_EQ(ListOf(widget, a), "export");

    widget.RemoveImagesFromBatch();
    EXPECT_FALSE(Batched(b));
    EXPECT_EQ(ListOf(widget, b), "available");
    widget.RemoveAllImagesFromBatch();
    EXPECT_FALSE(Batched(a));
    EXPECT_EQ(ListOf(widget, a), "available");
    EXPECT_TRUE(Script().Texts().isEmpty());

    // A row imported later starts where its flag says.
    const QString c = AddToExport("c.png");
    EXPECT_EQ(ListOf(widget, c), "export");
}

TEST_F(ExportSelectionTest, OfflinePhotosAreNotAdded)
{
    const QString gone = AddAvailable("gone.png");
    const QString here = AddAvailable("here.png");
    App().SetBatchRowOffline(App().BatchRowOfPath(gone));
    ExportSelectionWidget widget;
    widget.AddAllImagesToBatch();
    EXPECT_TRUE(Batched(here));
    EXPECT_FALSE(Batched(gone));
    EXPECT_EQ(Script().Texts(),
        QStringList({ "Some images were unable to be added because they are unlinked." }));
}

TEST_F(ExportSelectionTest, PreviewsUniqueButtonMakesTheCanvasPhotoUnique)
{
    const QString photo = AddToExport("u.png");
    const int row = App().BatchRowOfPath(photo);
    ExportSelectionWidget widget;
    QSignalSpy unique(&widget, &ExportSelectionWidget::UpdateUniqueButton);
    widget.MakeImageUnique();
    EXPECT_TRUE(Project().GetForegroundImageList().Get(photo)->IsUnique());
    EXPECT_EQ(App().BatchModel()->item(row)->icon().cacheKey(),
        import::Icon(import::RowIcon::Unique).cacheKey());
    ASSERT_EQ(unique.count(), 1);
    EXPECT_TRUE(unique.last().at(0).toBool());

    widget.MakeImageUnique();
    EXPECT_FALSE(Project().GetForegroundImageList().Get(photo)->IsUnique());
    EXPECT_NE(App().BatchModel()->item(row)->icon().cacheKey(),
        import::Icon(import::RowIcon::Unique).cacheKey());
    EXPECT_FALSE(unique.last().at(0).toBool());
}

TEST_F(ExportSelectionTest, SectionFollowsTheProjectAndExports)
{
    AddToExport("one.png");
    SetFormat(app::FormatTIFF, "x_");
    const QString saved = Path("batch.mtrabatch");
    ASSERT_EQ(App().Document().Save(saved), app::MT_OK);
    ExportSection section;
    section.UpdateFromProject();
    ASSERT_EQ(App().CreateProject(QString()), app::MT_OK);
    section.UpdateFromProject();
    EXPECT_EQ(section.Codec()->FormatBox()->currentText(), "PNG");
    ASSERT_EQ(App().CreateProject(saved), app::MT_OK);
    section.UpdateFromProject();
    EXPECT_EQ(section.Codec()->FormatBox()->currentText(), "TIFF");
    EXPECT_EQ(section.Codec()->PrefixEdit()->text(), "x_");
}

// --- The test projects, through the window and the command line ---------------------------

class ProjectExportTest : public WindowExportTest
{
protected:
    /// Opens the project as the window does: the document, then the batch list filled from it.
    void Open(const QString& path)
    {
        ASSERT_EQ(App().CreateProject(path), app::MT_OK);
        // Made once a project exists, as the window makes its pages.
        if (!m_import) {
            m_import = std::make_unique<ImportSection>();
            m_overlay = std::make_unique<OverlaySection>();
        }
        m_import->UpdateFromProject();
        m_overlay->UpdateFromProject();
    }
    /// Exports the export list into `folder`; the names written, sorted.
    QStringList ExportInto(const QString& folder)
    {
        EXPECT_TRUE(QDir().mkpath(folder));
        Script().Clear();
        Script().Queue(folder);
        const WindowExportResult result = ExportBatchImages(nullptr);
        EXPECT_TRUE(result.failures.isEmpty()) << result.failures.join('\n').toStdString();
        EXPECT_EQ(result.stop, WindowExportResult::Stop::Ran)
            << Script().Texts().join('\n').toStdString();
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    std::unique_ptr<ImportSection> m_import;
    std::unique_ptr<OverlaySection> m_overlay;
};

bool WithinTwo(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            if (std::abs(qAlpha(p) - qAlpha(q)) > 2 || std::abs(qRed(p) - qRed(q)) > 2
                || std::abs(qGreen(p) - qGreen(q)) > 2 || std::abs(qBlue(p) - qBlue(q)) > 2) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(ProjectExportTest, WindowMatchesExpectedPicturesAndTheCommandLine)
{
    for (const char* name :
        { "green_default", "blue_screen", "with_overlay", "filters_transform" }) {
        SCOPED_TRACE(name);
        // A copy, so that nothing is written beside the committed data.
        const QDir source(QStringLiteral(MTRA_TEST_DATA_DIR "/projects/") + name);
        const QString folder = Path(name);
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QString& file : source.entryList(QDir::Files)) {
            ASSERT_TRUE(QFile::copy(source.filePath(file), folder + '/' + file));
        }
        Open(folder + "/project.mtrabatch");
        const QStringList written = ExportInto(folder + "/window");
        ASSERT_EQ(written.size(), 1);
        const QString picture = folder + "/window/" + written[0];
        EXPECT_TRUE(WithinTwo(QImage(picture), QImage(folder + "/expected.png")));

        const QString saved = folder + "/saved.mtrabatch";
        ASSERT_EQ(App().Document().Save(saved), app::MT_OK);
        QProcess render;
        render.start(QStringLiteral(MTRA_RENDER_EXE), { saved, "-q", "-o", folder + "/cli" });
        ASSERT_TRUE(render.waitForFinished(120000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().constData();
        EXPECT_EQ(QDir(folder + "/cli").entryList(QDir::Files, QDir::Name), written);
        EXPECT_EQ(ReadAll(folder + "/cli/" + written[0]), ReadAll(picture));

        // The saved project, reopened, exports the same bytes.
        Open(saved);
        EXPECT_EQ(ExportInto(folder + "/reopened"), written);
        EXPECT_EQ(ReadAll(folder + "/reopened/" + written[0]), ReadAll(picture));
    }
}

} // namespace
} // namespace mtra::ui::test
