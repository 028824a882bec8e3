#pragma once

#include <QString>

#include <vector>

namespace zanfold {

// One assignment of a photo: work template w, specification s, position n within the specification.
struct UsageEntry {
    int work = 0;
    int spec = 0;
    int position = 0;
    friend bool operator==(const UsageEntry&, const UsageEntry&) = default;
};

// "w:s:n|"
QString usageText(const UsageEntry& entry);

// Appends the entry; what passes the 99 bytes of the field is cut, as the stored format has it.
void appendUsage(QString& usage, const UsageEntry& entry);

// Removes exactly one whole entry (never the tail of a longer one: 1:0:2| is not inside 11:0:2|).
// False when the text does not hold it.
bool removeUsage(QString& usage, const UsageEntry& entry);

// The complete entries of a usage text, in order; a cut entry at the end and malformed pieces are skipped.
std::vector<UsageEntry> parseUsage(const QString& usage);

} // namespace zanfold
