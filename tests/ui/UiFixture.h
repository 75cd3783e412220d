// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// A fresh default project for every test, the dialog script cleared, and photos drawn into a
// temporary folder on demand.

#include "Application.h"
#include "QtPrinters.h"
#include "UiTestSupport.h"

#include <app/Project.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mtra::ui::test {

inline Application& App()
{
    return *Application::Instance();
}

class UiFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Script().Clear();
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(App().CreateProject(QString()), app::MT_OK);
        App().ClearRenderLog();
    }
    void TearDown() override { Script().Clear(); }

    app::Project& Project() { return *App().GetProject(); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    /// A photo of `width` x `height`: a subject-coloured block on a green screen.
    QString MakePhoto(
        const QString& name, int width = 64, int height = 48, const char* format = nullptr) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(30, 200, 40));
        for (int y = height / 4; y < height * 3 / 4; ++y) {
            for (int x = width / 4; x < width * 3 / 4; ++x) {
                image.setPixel(x, y, qRgb(200, 120, 90));
            }
        }
        const QString path = Path(name);
        EXPECT_TRUE(image.save(path, format, 95));
        return path;
    }

    /// A BMP whose header declares `width` x `height` but holds no pixels.
    QString MakeHugeHeaderBmp(const QString& name, qint32 width, qint32 height) const
    {
        QByteArray header(54, '\0');
        auto put32 = [&](int at, quint32 value) {
            for (int i = 0; i < 4; ++i) {
                header[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
            }
        };
        header[0] = 'B';
        header[1] = 'M';
        put32(2, 54 + 64);
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<quint32>(width));
        put32(22, static_cast<quint32>(height));
        header[26] = 1;
        header[28] = 24;
        const QString path = Path(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(header + QByteArray(64, '\x7f'));
        return path;
    }

    /// Adds a photo to the batch as the import does and makes it current.
    QString AddCurrentPhoto(const QString& name, int width = 64, int height = 48)
    {
        const QString path = MakePhoto(name, width, height);
        EXPECT_EQ(App().Document().ImportImages({ path }), app::MT_OK);
        App().InsertBatchRow(App().BatchModel()->rowCount(), name, path);
        App().BatchSelectionModel()->setCurrentIndex(
            App().BatchIndexOfRow(App().BatchModel()->rowCount() - 1),
            QItemSelectionModel::ClearAndSelect);
        EXPECT_TRUE(App().SetForegroundLayerImage(path, true));
        return path;
    }

    QTemporaryDir m_dir;
};

} // namespace mtra::ui::test
