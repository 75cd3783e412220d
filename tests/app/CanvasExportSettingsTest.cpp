// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "XmlTestSupport.h"

#include <app/Canvas.h>
#include <app/ExportSettings.h>

#include <gtest/gtest.h>

#include <string>

using namespace mtra::app;
using mtra::test::Load;
using mtra::test::Write;

namespace {

const QString kExampleCanvas = QStringLiteral(
    "<canvas><canvasDimensionType>0</canvasDimensionType><width>800</width><height>1200</height>"
    "<positionX>0</positionX><positionY>0</positionY><scale>1</scale><orientation>1</orientation>"
    "<dpi>200</dpi></canvas>");

QString InProject(const QString& inner)
{
    return QStringLiteral("<project>%1</project>").arg(inner);
}

QString CanvasWith(const QString& tag, const QString& text)
{
    QString xml = kExampleCanvas;
    const QString open = QStringLiteral("<%1>").arg(tag);
    const auto start = xml.indexOf(open) + open.size();
    const auto end = xml.indexOf(QStringLiteral("</%1>").arg(tag));
    return InProject(xml.replace(start, end - start, text));
}

Canvas NewCanvas()
{
    return ModelAccess::Make<Canvas>();
}

TEST(CanvasTest, ConstructorsAndTheStoredForm)
{
    const Canvas empty = NewCanvas();
    EXPECT_EQ(empty.Width(), 0u);
    EXPECT_EQ(empty.Scale(), 1.0f);
    EXPECT_EQ(empty.Orientation(), OrientationPortrait);
    EXPECT_EQ(empty.DPI(), 1);

    const Canvas canvas
        = ModelAccess::Make<Canvas>(800u, 1200u, 0, 0, 1.0f, OrientationPortrait, 200u);
    EXPECT_EQ(Write(canvas).result, MT_OK);
    EXPECT_EQ(Write(canvas).xml, kExampleCanvas);

    Canvas loaded = NewCanvas();
    ASSERT_EQ(Load(loaded, InProject(kExampleCanvas)).result, MT_OK);
    EXPECT_EQ(loaded.Width(), 800u);
    EXPECT_EQ(loaded.Height(), 1200u);
    EXPECT_EQ(loaded.DPI(), 200);
}

TEST(CanvasTest, CentreIsNeitherWrittenNorRead)
{
    Canvas canvas = ModelAccess::Make<Canvas>(800u, 1200u, -3, 4, 1.0f, OrientationLandscape, 300u);
    canvas.SetCentre(10, 20);
    canvas.SetDimensionType(DimensionAsBackground);
    const QString xml = Write(canvas).xml;
    EXPECT_FALSE(xml.contains(QStringLiteral("10"))) << xml.toStdString();

    Canvas loaded = NewCanvas();
    ASSERT_EQ(Load(loaded, InProject(xml)).result, MT_OK);
    EXPECT_EQ(loaded.CentreX(), 0);
    EXPECT_EQ(loaded.CentreY(), 0);
    EXPECT_EQ(loaded.PositionX(), -3);
    EXPECT_EQ(loaded.Orientation(), OrientationLandscape);
    EXPECT_EQ(loaded.DimensionType(), DimensionAsBackground);
    EXPECT_EQ(Write(loaded).xml, xml);
}

TEST(CanvasTest, ScaleIsAFloatWithNineDigits)
{
    Canvas canvas = NewCanvas();
    ASSERT_EQ(
        Load(canvas, CanvasWith(QStringLiteral("scale"), QStringLiteral("0.5"))).result, MT_OK);
    EXPECT_EQ(canvas.Scale(), 0.5f);
    EXPECT_TRUE(Write(canvas).xml.contains(QStringLiteral("<scale>0.5</scale>")));
    canvas.SetScale(0.1f);
    EXPECT_TRUE(Write(canvas).xml.contains(QStringLiteral("<scale>0.100000001</scale>")));
}

struct BadCanvas {
    std::string name;
    QString tag;
    QString text;
    std::string message;
};

void PrintTo(const BadCanvas& c, std::ostream* os)
{
    *os << c.name;
}

class CanvasLoadTest : public ::testing::TestWithParam<BadCanvas>
{
};

TEST_P(CanvasLoadTest, FailsWithCode4)
{
    const BadCanvas& c = GetParam();
    Canvas canvas = NewCanvas();
    const auto loaded = Load(canvas, CanvasWith(c.tag, c.text));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.LastMessage(), c.message);
}

const std::string kCastFailure = " data is corrupted, lexical cast failure.";

INSTANTIATE_TEST_SUITE_P(Values, CanvasLoadTest,
    ::testing::Values(BadCanvas { "orientation_2", QStringLiteral("orientation"),
                          QStringLiteral("2"), "Orientation data is invalid" },
        BadCanvas { "orientation_negative", QStringLiteral("orientation"), QStringLiteral("-1"),
            "Orientation data is invalid" },
        BadCanvas { "dimension_type_3", QStringLiteral("canvasDimensionType"), QStringLiteral("3"),
            "Canvas dimension type data is invalid" },
        BadCanvas { "width_negative", QStringLiteral("width"), QStringLiteral("-1"),
            "width" + kCastFailure },
        BadCanvas {
            "dpi_fraction", QStringLiteral("dpi"), QStringLiteral("200.5"), "dpi" + kCastFailure },
        BadCanvas {
            "scale_nan", QStringLiteral("scale"), QStringLiteral("nan"), "scale" + kCastFailure },
        BadCanvas {
            "scale_inf", QStringLiteral("scale"), QStringLiteral("inf"), "scale" + kCastFailure }),
    [](const auto& param) { return param.param.name; });

TEST(CanvasLoadTest, MissingCanvasReportsItsFirstValue)
{
    Canvas canvas = NewCanvas();
    const auto loaded = Load(canvas, InProject(QString()));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.LastMessage(), "canvasDimensionType Tag is missing");
}

TEST(CanvasLoadTest, ValuesBeforeTheFailureAreKept)
{
    Canvas canvas = NewCanvas();
    EXPECT_EQ(Load(canvas, CanvasWith(QStringLiteral("orientation"), QStringLiteral("5"))).result,
        MT_XML_INVALID);
    EXPECT_EQ(canvas.Width(), 800u);
    EXPECT_EQ(canvas.Orientation(), OrientationPortrait);
    EXPECT_EQ(canvas.DPI(), 1) << "read after the failure";
}

// --- Export settings ---

const QString kDefaultExport = QStringLiteral(
    "<exportSettings><format>3</format><quality>100</quality><path><![CDATA[]]></path>"
    "<prefix><![CDATA[]]></prefix><suffix><![CDATA[]]></suffix>"
    "<codecCollapsed>0</codecCollapsed><selectionCollapsed>0</selectionCollapsed>"
    "</exportSettings>");

ExportSettings NewExportSettings()
{
    return ModelAccess::Make<ExportSettings>();
}

QString ExportWith(const QString& tag, const QString& text)
{
    QString xml = kDefaultExport;
    const QString open = QStringLiteral("<%1>").arg(tag);
    const auto start = xml.indexOf(open) + open.size();
    const auto end = xml.indexOf(QStringLiteral("</%1>").arg(tag));
    return InProject(xml.replace(start, end - start, text));
}

TEST(ExportSettingsTest, DefaultsAndRoundTrip)
{
    EXPECT_EQ(Write(NewExportSettings()).xml, kDefaultExport);

    const ExportSettings settings = ModelAccess::Make<ExportSettings>(FormatJPEG, 85,
        std::wstring(L"/home/\u00e9l\u00e8ve/out"), std::wstring(L"pre_"), std::wstring(L"]]>"),
        true, false);
    const auto written = Write(settings);
    ASSERT_EQ(written.result, MT_OK);
    ExportSettings loaded = NewExportSettings();
    ASSERT_EQ(Load(loaded, InProject(written.xml)).result, MT_OK);
    EXPECT_EQ(loaded.Format(), FormatJPEG);
    EXPECT_EQ(loaded.Quality(), 85);
    EXPECT_EQ(loaded.Path(), L"/home/\u00e9l\u00e8ve/out");
    EXPECT_EQ(loaded.Prefix(), L"pre_");
    EXPECT_EQ(loaded.Suffix(), L"]]>");
    EXPECT_TRUE(loaded.IsCodecCollapsed());
    EXPECT_FALSE(loaded.IsSelectionCollapsed());
}

TEST(ExportSettingsTest, FormatAndQuality)
{
    for (int format = 0; format <= 4; ++format) {
        ExportSettings settings = NewExportSettings();
        EXPECT_EQ(
            Load(settings, ExportWith(QStringLiteral("format"), QString::number(format))).result,
            MT_OK);
        EXPECT_EQ(settings.Format(), format);
    }
    for (const char* bad : { "5", "-1" }) {
        ExportSettings settings = NewExportSettings();
        const auto loaded
            = Load(settings, ExportWith(QStringLiteral("format"), QString::fromLatin1(bad)));
        EXPECT_EQ(loaded.result, MT_XML_INVALID);
        EXPECT_EQ(loaded.LastMessage(), "Format data is invalid");
    }
    ExportSettings settings = NewExportSettings();
    ASSERT_EQ(
        Load(settings, ExportWith(QStringLiteral("quality"), QStringLiteral("250"))).result, MT_OK);
    EXPECT_EQ(settings.Quality(), 250);
}

TEST(ExportSettingsTest, MissingOrBadValuesFail)
{
    ExportSettings settings = NewExportSettings();
    auto loaded = Load(settings, InProject(kExampleCanvas));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.LastMessage(), "format Tag is missing");

    loaded = Load(settings, ExportWith(QStringLiteral("codecCollapsed"), QStringLiteral("true")));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.LastMessage(), "codecCollapsed" + kCastFailure);

    // Plain text is read like CDATA.
    ASSERT_EQ(Load(settings, ExportWith(QStringLiteral("path"), QStringLiteral("/tmp/a b"))).result,
        MT_OK);
    EXPECT_EQ(settings.Path(), L"/tmp/a b");
}

} // namespace

// Prefix and postfix take word characters of every script, marks included (a decomposed
// accent, Devanagari and Thai vowel signs), and nothing that could leave the export folder.
TEST(ExportAffixTest, WordCharactersOfEveryScriptAndNothingElse)
{
    for (const char* good : { "", "pre_", "Übung-(2) & x.y_z", "cafe\xcc\x81", // e + U+0301
             "\xe0\xa4\x95\xe0\xa5\x8d\xe0\xa4\xb7", // Devanagari ka, virama, ssa
             "\xe0\xb8\xaa\xe0\xb8\xa7\xe0\xb8\xb1\xe0\xb8\xaa\xe0\xb8\x94\xe0\xb8\xb5", // Thai
             "\xd9\xa3\xe2\x85\xab", // Arabic-Indic three, Roman numeral twelve
             "abcdefghijklmnopqrst" }) // 20 characters
        EXPECT_TRUE(mtra::app::IsValidExportAffix(QString::fromUtf8(good))) << good;
    for (const char* bad : { "a/b", "a\\b", "50%", "x:y", "tab\there", "../x",
             "a\xe2\x80\x8d"
             "b", // zero-width joiner
             "\xe2\x80\xbf", // undertie, a connector other than the underscore
             "\xf0\x9f\x99\x82", // an emoji
             "abcdefghijklmnopqrstu" }) // 21 characters
        EXPECT_FALSE(mtra::app::IsValidExportAffix(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(mtra::app::IsValidExportAffix(QString(QChar(0xD800)))); // lone surrogate
}
