#include "core/text.h"
#include "core/usage.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

TEST(Usage, EntriesAreAppendedInOrder) {
    QString usage;
    appendUsage(usage, {0, 1, 2});
    appendUsage(usage, {3, 0, 12});
    appendUsage(usage, {0, 0, 0});
    EXPECT_EQ(usage, QStringLiteral("0:1:2|3:0:12|0:0:0|"));
    const std::vector<UsageEntry> expected{{0, 1, 2}, {3, 0, 12}, {0, 0, 0}};
    EXPECT_EQ(parseUsage(usage), expected);
}

TEST(Usage, TextStopsAt99Bytes) {
    QString usage;
    for (int n = 10; n < 24; ++n)
        appendUsage(usage, {0, 1, n}); // fourteen entries of 7 bytes
    EXPECT_EQ(usage.size(), 98);
    appendUsage(usage, {0, 1, 24});
    EXPECT_EQ(usage.size(), 99);
    EXPECT_TRUE(usage.endsWith(QStringLiteral("0:1:23|0")));
    appendUsage(usage, {0, 1, 25});
    EXPECT_EQ(usage.size(), 99);
    // The cut entry is not an entry.
    const auto entries = parseUsage(usage);
    ASSERT_EQ(entries.size(), 14u);
    EXPECT_EQ(entries.back(), (UsageEntry{0, 1, 23}));
}

TEST(Usage, RemovesExactlyOneWholeEntry) {
    struct Case {
        QString before;
        UsageEntry entry;
        bool found;
        QString after;
    };
    const Case cases[] = {
        {QStringLiteral("0:1:2|0:1:2|"), {0, 1, 2}, true, QStringLiteral("0:1:2|")},
        {QStringLiteral("11:0:2|1:0:2|"), {1, 0, 2}, true, QStringLiteral("11:0:2|")},
        {QStringLiteral("11:0:2|"), {1, 0, 2}, false, QStringLiteral("11:0:2|")},
        {QStringLiteral("0:0:12|"), {0, 0, 2}, false, QStringLiteral("0:0:12|")},
        {QStringLiteral("2:0:1|0:0:1|"), {0, 0, 1}, true, QStringLiteral("2:0:1|")},
        {QStringLiteral("0:0:1"), {0, 0, 1}, false, QStringLiteral("0:0:1")}, // cut, not an entry
        {QString(), {0, 0, 0}, false, QString()},
    };
    for (const Case& c : cases) {
        QString usage = c.before;
        EXPECT_EQ(removeUsage(usage, c.entry), c.found) << c.before.toStdString();
        EXPECT_EQ(usage, c.after);
    }
}

TEST(Usage, ParseSkipsMalformedPieces) {
    const std::vector<UsageEntry> expected{{1, 2, 3}, {4, 5, 6}};
    EXPECT_EQ(parseUsage(QStringLiteral("1:2:3|x:1:2|1:2|4:5:6|7:8")), expected);
    EXPECT_TRUE(parseUsage(QString()).empty());
}

} // namespace
} // namespace zanfold
