// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ErrorTexts.h>
#include <app/ExportFormats.h>
#include <app/ImportNaming.h>
#include <app/Project.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mtra::app;

namespace {

QStringList Relative(const QDir& root, const QStringList& paths)
{
    QStringList relative;
    for (const QString& path : paths)
        relative << root.relativeFilePath(path);
    return relative;
}

} // namespace

TEST(ExportFormatsTest, FileNamesFollowTheExportRule)
{
    EXPECT_EQ(ExportFileName(QStringLiteral("a_"), QStringLiteral("img.001"), QStringLiteral("_1"),
                  ExportFormatFor(FormatJPEG, 90).extension),
        QStringLiteral("a_img.001_1.jpg"));

    const ExportFormatInfo jpeg = ExportFormatFor(FormatJPEG, 77);
    EXPECT_EQ(jpeg.writerFormat, QByteArrayLiteral("jpg"));
    EXPECT_EQ(jpeg.quality, 77);
    EXPECT_EQ(ExportFormatFor(FormatJPEG, 140).quality, 100);
    EXPECT_EQ(ExportFormatFor(FormatJPEG, -3).quality, 0);
    EXPECT_EQ(ExportFormatFor(FormatTIFF, 77).extension, QStringLiteral("tiff"));
    EXPECT_EQ(ExportFormatFor(FormatTIFF, 77).quality, -1);
    // Every other stored value is written as PNG, with the writer's own quality.
    for (int format : { 0, 1, 3, 9 }) {
        const ExportFormatInfo png = ExportFormatFor(static_cast<ExportFormat>(format), 77);
        EXPECT_EQ(png.extension, QStringLiteral("png")) << format;
        EXPECT_EQ(png.quality, -1) << format;
    }
}

TEST(ExportFormatsTest, EncodingReportsAWriterThatFails)
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    ASSERT_TRUE(EncodeImage(image, ExportFormatFor(FormatPNG, 100), bytes));
    const QImage decoded = QImage::fromData(bytes, "png");
    EXPECT_EQ(decoded.size(), QSize(4, 3));
    EXPECT_EQ(decoded.pixel(3, 2), qRgb(255, 0, 0));
    QString reason;
    EXPECT_FALSE(EncodeImage(
        image, { QStringLiteral("x"), QByteArrayLiteral("nosuch"), -1 }, bytes, &reason));
    EXPECT_TRUE(reason.startsWith(QStringLiteral("cannot encode as nosuch")))
        << reason.toStdString();
}

TEST(ExportFormatsTest, StoredNamesMustStayInTheOutputFolder)
{
    for (const char* bad : { "", ".", "..", "../x", "a/b", "a\\b", "tab\there" })
        EXPECT_FALSE(IsPlainFileName(QString::fromUtf8(bad))) << bad;
    for (const char* good : { "img.001", "shot (2)", "..hidden", "Été & co",
             "\xd9\x85\xdb\x8c\xe2\x80\x8c\xd8\xae\xd9\x88\xd8\xa7\xd9\x87\xd9\x85" }) // with ZWNJ
        EXPECT_TRUE(IsPlainFileName(QString::fromUtf8(good))) << good;
    // Bidirectional controls and other format characters: U+202E makes this look like a
    // JPEG and U+2066 isolates, U+200B hides, U+FEFF marks.
    for (const char* bad : { "abc\xe2\x80\xaegpj.exe",
             "a\xe2\x81\xa6"
             "b",
             "a\xe2\x80\x8b"
             "b",
             "a\xef\xbb\xbf"
             "name" })
        EXPECT_FALSE(IsPlainFileName(QString::fromUtf8(bad))) << bad;
}

// A name or path in a message is shown, never obeyed: it cannot end the line or turn the
// text round.
TEST(ExportFormatsTest, NamesInMessagesAreQuotedAndEscaped)
{
    EXPECT_EQ(QuotedForMessage(QStringLiteral("shot (2)")), QStringLiteral("\"shot (2)\""));
    EXPECT_EQ(QuotedForMessage(QString::fromUtf8("a\"b\\c\nd\xe2\x80\xae"
                                                 "e")),
        QStringLiteral("\"a\\\"b\\\\c\\u000ad\\u202ee\""));
    EXPECT_EQ(EscapedForMessage(QStringLiteral("/x/[1/1] wrote\r\n\\y")),
        QStringLiteral("/x/[1/1] wrote\\u000d\\u000a\\y"));
    EXPECT_EQ(UnsafeStoredNameText(QStringLiteral("a/\nb")),
        QStringLiteral("its stored name \"a/\\u000ab\" is not a plain file name"));
}

TEST(ImportNamingTest, SuffixesOfTheImportInAnyCase)
{
    for (const char* good : { "a.bmp", "a.JPG", "a.jpeg", "/x/b.Png", "c.tif", "d.TIFF", ".png" })
        EXPECT_TRUE(HasImageSuffix(QString::fromUtf8(good))) << good;
    for (const char* bad : { "a.gif", "a.jpg.xmp", "png", "a.tiff ", "a.jp g" })
        EXPECT_FALSE(HasImageSuffix(QString::fromUtf8(bad))) << bad;
}

TEST(ImportNamingTest, RepeatedNamesAreNumberedPastTheHighestInUse)
{
    UniqueNames names;
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base"));
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base (2)"));
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base (3)"));
    EXPECT_EQ(names.Add(QStringLiteral("other")), QStringLiteral("other"));
    EXPECT_EQ(names.Add(QStringLiteral("Base")), QStringLiteral("Base"));

    // "img" … "img (10)" in use: sorted by text "img (10)" comes before "img (9)", and the
    // last match would give "img (10)" a second time.
    UniqueNames many;
    for (int i = 0; i < 10; ++i)
        many.Add(QStringLiteral("img"));
    EXPECT_EQ(many.Add(QStringLiteral("img")), QStringLiteral("img (11)"));

    // A photo really called "shot (2)" takes that name; the next "shot" goes past it, and
    // a gap below the highest number is not reused.
    UniqueNames taken;
    taken.Add(QStringLiteral("shot"));
    taken.Reserve(QStringLiteral("shot (7)"));
    taken.Reserve(QStringLiteral("shot (x)"));
    EXPECT_EQ(taken.Add(QStringLiteral("shot")), QStringLiteral("shot (8)"));
    EXPECT_EQ(taken.Add(QStringLiteral("shot (7)")), QStringLiteral("shot (7) (2)"));
}

// Seeded with the batch, an import goes on from the names already listed.
TEST(ImportNamingTest, NamesContinueFromThoseInTheBatch)
{
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ASSERT_EQ(result, MT_OK);
    ForegroundImageList& batch = project.GetForegroundImageList();
    for (int i = 1; i <= 10; ++i) {
        const QString name = i == 1 ? QStringLiteral("img") : QStringLiteral("img (%1)").arg(i);
        ASSERT_EQ(batch.Add(std::make_shared<ForegroundImage>(
                      name, QStringLiteral("/shoot/%1/img.jpg").arg(i), true, false, false, true)),
            MT_OK);
    }
    UniqueNames names(batch);
    EXPECT_EQ(names.Add(QStringLiteral("img")), QStringLiteral("img (11)"));
    EXPECT_EQ(names.Add(QStringLiteral("new")), QStringLiteral("new"));
}

TEST(ImportNamingTest, FoldersAreWalkedFoldersFirstAndReportWhatTheyLeaveOut)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("b_sub/deeper")));
    for (const char* name :
        { "z.JPG", "a.png", "notes.txt", "b_sub/x.tif", "b_sub/deeper/y.bmp", "c.jpeg.xmp" }) {
        QFile file(root.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(
        root.filePath(QStringLiteral("a.png")), root.filePath(QStringLiteral("link.png"))));
    ASSERT_TRUE(QFile::link(
        root.filePath(QStringLiteral("b_sub")), root.filePath(QStringLiteral("a_linked_folder"))));

    const FolderContents contents = WalkImageFolder(dir.path());
    EXPECT_EQ(Relative(root, contents.images),
        QStringList({ QStringLiteral("b_sub/deeper/y.bmp"), QStringLiteral("b_sub/x.tif"),
            QStringLiteral("a.png"), QStringLiteral("z.JPG") }));
    QStringList leftOut = Relative(root, contents.leftOut);
    leftOut.sort();
    EXPECT_EQ(leftOut,
        QStringList({ QStringLiteral("a_linked_folder"), QStringLiteral("c.jpeg.xmp"),
            QStringLiteral("link.png"), QStringLiteral("notes.txt") }));
}

TEST(ImportNamingTest, ImportChecksListedIncompatibleAndUnstorablePaths)
{
    QTemporaryDir dir;
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ForegroundImageList& batch = project.GetForegroundImageList();
    const QString good = dir.filePath(QStringLiteral("good.png"));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(good));
    const QString fake = dir.filePath(QStringLiteral("fake.png"));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("text");
    file.close();
    const QString control = dir.filePath(QStringLiteral("a") + QChar(1) + QStringLiteral(".png"));
    ASSERT_TRUE(image.save(control, "png"));

    EXPECT_EQ(CheckImportPath(batch, good), ImportCheck::Accepted);
    EXPECT_EQ(CheckImportPath(batch, fake), ImportCheck::Incompatible);
    EXPECT_EQ(CheckImportPath(batch, dir.filePath(QStringLiteral("notes.txt"))),
        ImportCheck::Incompatible);
    EXPECT_EQ(CheckImportPath(batch, control), ImportCheck::Unstorable);
    EXPECT_FALSE(UnstorablePathText().isEmpty());
    ASSERT_EQ(batch.Add(std::make_shared<ForegroundImage>(
                  QStringLiteral("good"), good, true, false, false, true)),
        MT_OK);
    EXPECT_EQ(CheckImportPath(batch, good), ImportCheck::AlreadyListed);
}

// Every code has words of its own; unknown values still say which they are.
TEST(ErrorTextsTest, EveryCodeHasItsOwnText)
{
    const MTerr codes[] = { MT_OK, MT_FILE_OPEN_FAILED, MT_XML_PARSE_FAILED, MT_XML_INVALID,
        MT_OUT_OF_MEMORY, MT_DEFAULT_PROJECT_FAILED, MT_XML_WRITE_FAILED, MT_ITEM_NOT_FOUND,
        MT_IMAGE_ALREADY_LISTED, MT_IMAGE_NOT_LISTED, MT_NOTHING_TO_FILTER, MT_NOTHING_TO_KEY,
        MT_NO_SOURCE_IMAGE, MT_STAGE_RENDER_FAILED, MT_CANVAS_NOT_COMPOSED, MT_INVALID_LAYER,
        MT_INVALID_LEVEL, MT_LAYER_NOT_SET, MT_CACHE_NOT_CREATED, MT_EXPORT_FOREGROUND_FAILED,
        MT_EXPORT_BACKGROUND_FAILED, MT_UNSUPPORTED_BIT_DEPTH, MT_RENDER_OUT_OF_MEMORY };
    QStringList seen;
    for (const MTerr code : codes) {
        const QString text = ErrorText(code);
        EXPECT_FALSE(text.startsWith(QStringLiteral("error "))) << int(code);
        // Two out-of-memory codes share their words; every other text is its code's own.
        if (code != MT_RENDER_OUT_OF_MEMORY) {
            EXPECT_FALSE(seen.contains(text)) << int(code) << " " << text.toStdString();
        }
        seen << text;
    }
    EXPECT_EQ(ErrorText(static_cast<MTerr>(77)), QStringLiteral("error 77"));
}
