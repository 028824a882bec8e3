#include "core/usage.h"

#include "core/records.h"
#include "core/text.h"

namespace zanfold {

QString usageText(const UsageEntry& entry) {
    return QStringLiteral("%1:%2:%3|").arg(entry.work).arg(entry.spec).arg(entry.position);
}

void appendUsage(QString& usage, const UsageEntry& entry) {
    usage = fitText(usage + usageText(entry), kUsageCapacity);
}

bool removeUsage(QString& usage, const UsageEntry& entry) {
    const QString needle = usageText(entry);
    for (qsizetype at = usage.indexOf(needle); at >= 0; at = usage.indexOf(needle, at + 1)) {
        if (at == 0 || usage[at - 1] == QLatin1Char('|')) {
            usage.remove(at, needle.size());
            return true;
        }
    }
    return false;
}

std::vector<UsageEntry> parseUsage(const QString& usage) {
    std::vector<UsageEntry> entries;
    const QStringList pieces = usage.split(QLatin1Char('|'));
    // The last piece follows the last "|": empty, or an entry the field capacity cut short.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        const QStringList numbers = pieces[i].split(QLatin1Char(':'));
        if (numbers.size() != 3) continue;
        bool okW = false, okS = false, okN = false;
        const UsageEntry entry{numbers[0].toInt(&okW), numbers[1].toInt(&okS), numbers[2].toInt(&okN)};
        if (okW && okS && okN) entries.push_back(entry);
    }
    return entries;
}

} // namespace zanfold
