#include "core/text.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

const QString kAlbum = QStringLiteral("婚礼相册"); // 4 characters, 8 GB18030 bytes

TEST(Gb18030, RoundTripsChineseAndAscii) {
    const QString text = QStringLiteral("D:\\照片\\2015婚礼 €");
    const auto bytes = toGb18030(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->left(5), QByteArray("D:\\\xd5\xd5", 5)); // 照 is D5 D5 in code page 936
    EXPECT_EQ(fromGb18030(*bytes), text);
}

TEST(Gb18030, ReportsWhatCannotBeConverted) {
    QString loneSurrogate = QStringLiteral("a");
    loneSurrogate.append(QChar(0xD800));
    EXPECT_FALSE(toGb18030(loneSurrogate));
    EXPECT_FALSE(fromGb18030(QByteArray("\x81", 1))); // lead byte without its trail
    EXPECT_EQ(fromGb18030(QByteArray()), QString());
}

TEST(Gb18030, LengthCountsBytes) {
    EXPECT_EQ(gbLength(kAlbum), 8);
    EXPECT_EQ(gbLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(gbLength(QString::fromUcs4(U"😀")), 4); // outside the BMP: four bytes
    EXPECT_EQ(gbLength(QString()), 0);
}

struct FitCase {
    QString text;
    int capacity;
    QString expected;
    friend void PrintTo(const FitCase& c, std::ostream* os) {
        *os << c.text.toStdString() << " in " << c.capacity << " bytes";
    }
};

class FitTextTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTextTest, KeepsWholeCharactersWithinCapacity) {
    const FitCase c = GetParam();
    const QString fitted = fitText(c.text, c.capacity);
    EXPECT_EQ(fitted, c.expected);
    EXPECT_LE(gbLength(fitted), std::max(0, c.capacity - 1));
}

INSTANTIATE_TEST_SUITE_P(
    Capacities, FitTextTest,
    ::testing::Values(FitCase{QStringLiteral("abcdef"), 4, QStringLiteral("abc")},
                      FitCase{QStringLiteral("abc"), 4, QStringLiteral("abc")},
                      FitCase{QStringLiteral("abc"), 1, QString()},
                      FitCase{QStringLiteral("abc"), 0, QString()},
                      FitCase{kAlbum, 9, kAlbum},                   // 8 bytes fit 8
                      FitCase{kAlbum, 8, QStringLiteral("婚礼相")}, // 7 bytes: the last half is dropped
                      FitCase{QStringLiteral("a婚礼"), 4, QStringLiteral("a婚")},
                      FitCase{QStringLiteral("a婚礼"), 3, QStringLiteral("a")}, // never half of 婚
                      FitCase{QString::fromUcs4(U"a😀b"), 5, QStringLiteral("a")},
                      FitCase{QString::fromUcs4(U"a😀b"), 6, QString::fromUcs4(U"a😀")}));

TEST(FitText, LongChinesePathFitsTheFolderField) {
    QString path;
    for (int i = 0; i < 200; ++i)
        path += QStringLiteral("照");
    const QString fitted = fitText(path, 260);
    EXPECT_EQ(fitted.size(), 129); // 258 bytes: a 130th character would need 260
    EXPECT_EQ(gbLength(fitted), 258);
}

TEST(NumberText, LeadingSpaceForNonNegative) {
    EXPECT_EQ(numberText(1920), QStringLiteral(" 1920"));
    EXPECT_EQ(numberText(0), QStringLiteral(" 0"));
    EXPECT_EQ(numberText(-3), QStringLiteral("-3"));
}

TEST(PositionName, PadsToNamingLength) {
    EXPECT_EQ(positionName('A', 3, 7), QStringLiteral("A007"));
    EXPECT_EQ(positionName('A', 3, 1234), QStringLiteral("A1234"));
    EXPECT_EQ(positionName('B', 1, 12), QStringLiteral("B12"));
    EXPECT_EQ(positionName('C', 4, 1), QStringLiteral("C0001"));
    EXPECT_EQ(positionName('Z', 9, 1), QStringLiteral("Z000000001")); // longer than the field: kept whole
}

TEST(NameList, FiveNamesThenHowManyMore) {
    EXPECT_EQ(nameList({}), QString());
    EXPECT_EQ(nameList({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a\nb"));
    const QStringList seven{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                            QStringLiteral("7")};
    EXPECT_EQ(nameList(seven), QStringLiteral("1\n2\n3\n4\n5\n……（另有 2 个）"));
}

TEST(FilterSuffix, TheExtensionOfTheFirstPattern) {
    EXPECT_EQ(filterSuffix(QStringLiteral("Zanfold项目文件(*.zpj)")), QStringLiteral("zpj"));
    EXPECT_EQ(filterSuffix(QStringLiteral("图片 (*.jpg *.jpeg)")), QStringLiteral("jpg"));
    EXPECT_EQ(filterSuffix(QStringLiteral("所有文件 (*)")), QString());
}

} // namespace
} // namespace zanfold
