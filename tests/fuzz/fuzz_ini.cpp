// Settings files: parse, set values, save; the saved file reads back the values and saves unchanged.
#include "fuzz/fuzz_support.h"
#include "settings/ini_file.h"

#include <QFile>

namespace zanfold::fuzz {

void writeSeeds(const QString& folder) {
    QFile::remove(folder + QStringLiteral("/zanfold.ini"));
    IniFile written(folder + QStringLiteral("/zanfold.ini"));
    written.setValue(QStringLiteral("General"), QStringLiteral("OutFolder"),
                     QStringLiteral("D:\\\\输出\\\\"));
    written.setValue(QStringLiteral("General"), QStringLiteral("ZoomSpeed"), QStringLiteral("10"));
    written.save();
    QFile edited(folder + QStringLiteral("/edited.ini"));
    if (edited.open(QIODevice::WriteOnly))
        edited.write("\xEF\xBB\xBF; by hand\n[Recent]\nA = \"quoted\" "
                     "\n\n[general]\nzoomspeed=&H1E\nBackColor=16777215\n");
}

} // namespace zanfold::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zanfold;
    using namespace zanfold::fuzz;
    const QString path = writeInput(QStringLiteral("Zanfold.ini"), data, size);
    IniFile ini(path);
    ini.value(QStringLiteral("General"), QStringLiteral("OutFolder"), QString());
    const QString section = QStringLiteral("General");
    if (!ini.setValue(section, QStringLiteral("ZoomSpeed"), QStringLiteral("15")) ||
        !ini.setValue(QStringLiteral("新节"), QStringLiteral("键"), QStringLiteral("值")))
        broken("a plain value cannot be set");
    if (ini.save().failed()) broken("the settings file cannot be written");
    const IniFile back(path);
    if (back.value(section, QStringLiteral("ZoomSpeed"), {}) != QStringLiteral("15") ||
        back.value(QStringLiteral("新节"), QStringLiteral("键"), {}) != QStringLiteral("值"))
        broken("a value written is not read back");
    QFile saved(path);
    if (!saved.open(QIODevice::ReadOnly)) broken("the settings file cannot be read");
    const QByteArray bytes = saved.readAll();
    saved.close();
    if (back.save().failed()) broken("the settings file cannot be written again");
    QFile again(path);
    if (!again.open(QIODevice::ReadOnly) || again.readAll() != bytes) broken("saving again changed the file");
    return 0;
}
