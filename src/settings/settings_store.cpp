#include "settings/settings_store.h"

#include "core/geometry.h"
#include "core/records.h"
#include "core/text.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>

namespace zanfold {

namespace {

const QString kSection = QStringLiteral("General");

// The numeric settings in the order the file lists them (reading order does not matter). JpegQuality,
// AutoOrient, ThumbCacheMB, ColorManage and FaceCrop come after the original sixteen, so files of older
// versions simply lack them.
struct NumericKey {
    const char* name;
    int Settings::*field;
};

constexpr NumericKey kNumericKeys[] = {
    {"UseOutFolder", &Settings::UseOutFolder}, {"OutFolderType", &Settings::OutFolderType},
    {"ZoomSpeed", &Settings::ZoomSpeed},       {"LockType", &Settings::LockType},
    {"SurplusPhoto", &Settings::SurplusPhoto}, {"LoopPhoto", &Settings::LoopPhoto},
    {"FirstPhoto", &Settings::FirstPhoto},     {"OpenFolder", &Settings::OpenFolder},
    {"ClipTop", &Settings::ClipTop},           {"ClipLeft", &Settings::ClipLeft},
    {"BackColor", &Settings::BackColor},       {"CheckMove", &Settings::CheckMove},
    {"FinishAsk", &Settings::FinishAsk},       {"UseMask", &Settings::UseMask},
    {"SafeImport", &Settings::SafeImport},     {"JpegQuality", &Settings::JpegQuality},
    {"AutoOrient", &Settings::AutoOrient},     {"ThumbCacheMB", &Settings::ThumbCacheMB},
    {"ColorManage", &Settings::ColorManage},   {"FaceCrop", &Settings::FaceCrop},
};

int toInt(double value) {
    const double limited =
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return nearest(limited);
}

} // namespace

double parseSettingsNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (text.mid(i, 2).compare(QStringLiteral("&H"), Qt::CaseInsensitive) == 0) {
        double value = 0;
        for (i += 2; i < text.size(); ++i) {
            const int digit = QStringLiteral("0123456789ABCDEF").indexOf(text[i].toUpper());
            if (digit < 0) break;
            value = value * 16 + digit;
        }
        return value;
    }
    double sign = 1;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-')) sign = -1;
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = value * 10 + text[i].digitValue();
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i, scale /= 10)
            value += text[i].digitValue() * scale;
    }
    return sign * value;
}

QString dataFolder(const QString& programFolder) {
    // Only a file really made tells: a folder's flags say nothing of the rights an installed program has
    // under Program Files.
    QTemporaryFile probe(QDir(programFolder).filePath(QStringLiteral("zanfold-XXXXXX.tmp")));
    if (QFileInfo(programFolder).isDir() && probe.open()) return QDir::cleanPath(programFolder);
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = config + QStringLiteral("/Zanfold");
    QDir().mkpath(folder);
    return folder;
}

void LOADOPTIONS(AppState& state, const QString& folder) {
    loadOptionsFrom(state, QDir(folder).filePath(QStringLiteral("Zanfold.ini")));
}

void loadOptionsFrom(AppState& state, const QString& file) {
    state.SettingsPath = file;
    const IniFile ini(state.SettingsPath);
    Settings& s = state.settings;
    const Settings defaults;
    s.OutFolder =
        fitText(ini.value(kSection, QStringLiteral("OutFolder"), defaults.OutFolder), kPathCapacity);
    for (const NumericKey& key : kNumericKeys) {
        const QString fallback = QString::number(defaults.*key.field);
        s.*key.field =
            toInt(parseSettingsNumber(ini.value(kSection, QString::fromLatin1(key.name), fallback)));
    }
    s.ZoomSpeed = std::clamp(s.ZoomSpeed, 1, 30);
    s.ClipTop = std::clamp(s.ClipTop, 0, 50);
    s.ClipLeft = std::clamp(s.ClipLeft, 0, 50);
    s.JpegQuality = std::clamp(s.JpegQuality, 1, 100);
    s.ThumbCacheMB = std::max(0, s.ThumbCacheMB);
}

FileError saveOptions(const AppState& state) {
    // Another process may write the file too: its keys must not be lost between our read and write.
    const FileLock lock(state.SettingsPath);
    if (lock.error().failed()) return lock.error();
    IniFile ini(state.SettingsPath);
    const Settings& s = state.settings;
    bool stored = ini.setValue(kSection, QStringLiteral("OutFolder"), s.OutFolder);
    for (const NumericKey& key : kNumericKeys)
        stored &= ini.setValue(kSection, QString::fromLatin1(key.name), QString::number(s.*key.field));
    if (!stored) return {EILSEQ, QStringLiteral("输出文件夹名称含有无法保存的字符")};
    return ini.save();
}

} // namespace zanfold
