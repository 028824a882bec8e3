#include "imaging/regular_file.h"

#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"
#include "support/jpeg_maker.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"

#include <QElapsedTimer>
#include <QFile>

#include <vector>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

// What must never be read as a photo, each behind a name an album could hold: a device that never ends, a
// pipe no one writes to, a folder. None may block, grow the process or end it; each is refused with words.
TEST(RegularFile, OnlyRegularFilesOpenAndNothingBlocks) {
    TempDir dir;
    dir.write(QStringLiteral("folder.jpg/x"), "x");
    std::vector<const char*> names{"folder.jpg"};
    // Where the system has devices and pipes under file names.
    if (test::makeSpecialFile(dir.file(QStringLiteral("zero.jpg")), "zero").isEmpty()) {
        ASSERT_EQ(test::makeSpecialFile(dir.file(QStringLiteral("pipe.jpg")), "pipe"), QString());
        ASSERT_EQ(test::makeSpecialFile(dir.file(QStringLiteral("to-pipe.jpg")), "pipe-link",
                                        QStringLiteral("pipe.jpg")),
                  QString());
        names.insert(names.end(), {"zero.jpg", "pipe.jpg", "to-pipe.jpg"});
    }
    QElapsedTimer timer;
    timer.start();
    for (const char* name : names) {
        const QString path = dir.file(QString::fromLatin1(name));
        RegularFile file(path);
        EXPECT_FALSE(file.ok()) << name;
        EXPECT_FALSE(file.error().description.isEmpty()) << name;
        EXPECT_FALSE(fileIdentity(path).valid()) << name;
        const PictureInfo info = probe(path);
        EXPECT_FALSE(info.ok()) << name;
        EXPECT_FALSE(info.error.isEmpty()) << name;
        EXPECT_FALSE(thumbnail({path, 1, 0}, 100, 100, ThumbMode::Fast, true).ok()) << name;
    }
    EXPECT_LT(timer.elapsed(), 5000);
    // The system's own words for a missing file.
    const RegularFile missing(dir.file(QStringLiteral("none.jpg")));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().description.isEmpty());
}

// A file is never read past the size it had when opened, and one cut short while open reads short.
TEST(RegularFile, ReadsAreBoundedByTheSizeAtOpening) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("a.bin"), QByteArray(1000, 'a'));
    {
        RegularFile file(path);
        ASSERT_TRUE(file.ok());
        EXPECT_EQ(file.identity().size, 1000);
        QFile grow(path);
        ASSERT_TRUE(grow.open(QIODevice::Append));
        grow.write(QByteArray(5000, 'b'));
        grow.close();
        EXPECT_EQ(file.readAll(), QByteArray(1000, 'a'));
    }
    {
        RegularFile file(path);
        ASSERT_TRUE(QFile::resize(path, 10));
        EXPECT_EQ(file.readAll(), QByteArray(10, 'a'));
        EXPECT_TRUE(file.ok());
    }
}

// A photo cut short by another program between the reading of its header and of its pixels gives a
// damaged picture, never a signal.
TEST(RegularFile, APhotoCutWhileItIsReadIsDamagedNotFatal) {
    TempDir dir;
    // Noise, so the file is far larger than what opening reads ahead.
    QImage noise(2400, 1600, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, qRgb(seed >> 24, (seed >> 16) & 0xFF, (seed >> 8) & 0xFF));
        }
    const QByteArray whole = test::makeJpeg(noise);
    ASSERT_GT(whole.size(), 2 * 1024 * 1024);
    const QString path = dir.write(QStringLiteral("cut.jpg"), whole);
    JpegReader reader(path);
    ASSERT_TRUE(reader.ok());
    ASSERT_TRUE(QFile::resize(path, 300000));
    int rows = 0;
    EXPECT_TRUE(reader.decode(
        8, QRect(0, 0, 2400, 1600), [&](int, const uchar*, int) { ++rows; }, true));
    EXPECT_EQ(rows, 1600);
    EXPECT_TRUE(reader.damaged());
    // And the same through the crop a batch writes.
    dir.write(QStringLiteral("cut.jpg"), whole.left(300000));
    const Rendered crop =
        renderCrop({path, 1, 0}, QRect(0, 0, 2400, 1600), 600, 400, qRgb(255, 255, 255), true);
    EXPECT_TRUE(crop.ok());
    EXPECT_TRUE(crop.damaged);
}

} // namespace
} // namespace zanfold
