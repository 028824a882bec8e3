#include "templates/template_import.h"

#include "core/records.h"
#include "core/text.h"
#include "imaging/file_utils.h"
#include "imaging/picture.h"
#include "templates/library_file.h"

namespace zanfold {

namespace {

const QString kPhotoFolder = QStringLiteral("照片");

} // namespace

QString templateCountText(const AppState& state) {
    return QStringLiteral("模板数量：") + numberText(static_cast<int>(state.Templates.size()));
}

QString duplicateNameText(const QString& name) {
    return QStringLiteral("模板名称不能重复！\n\n'") + name + QLatin1Char('\'');
}

int TEMPLATE_IMPORT(AppState& state, Ui& ui, bool* saved) {
    const QString file = ui.openFile(QStringLiteral("选择AE工程文件"), QStringLiteral("AEP文件 (*.aep)"), {});
    if (file.isEmpty()) return -1;
    return importTemplate(state, ui, file, saved);
}

int importTemplate(AppState& state, Ui& ui, const QString& projectFile, bool* saved) {
    const qsizetype cut =
        std::max(projectFile.lastIndexOf(QLatin1Char('/')), projectFile.lastIndexOf(QLatin1Char(':')));
    const QString folder = projectFile.left(cut + 1);
    const QString name = fitText(AFXGETFILENAME(projectFile), kTemplateNameCapacity);
    const QString photos = folder + kPhotoFolder + QLatin1Char('/');
    const QStringList names = listFiles(photos, QStringLiteral("*.jpg"));
    if (names.isEmpty()) {
        ui.message(QStringLiteral("没有【照片】文件夹或照片数量为零！"), Icon::Error);
        return -1;
    }
    if (state.TemplateNames.contains(name)) {
        ui.message(duplicateNameText(name), Icon::Information);
        return -1;
    }

    TemplateRecord record;
    record.path = fitText(folder, kPathCapacity);
    record.count = static_cast<int>(names.size());
    // Runs of adjacent names with the same first byte form the specifications.
    int groups = 0;
    char current = 0;
    for (const QString& file : names) {
        const QByteArray bytes = toGb18030(file).value_or(file.toLatin1());
        const char prefix = bytes.at(0);
        if (groups > 0 && prefix == current) {
            ++record.spec[groups - 1].count;
            continue;
        }
        if (groups == kMaxSpecs) {
            ui.message(QStringLiteral("模板的照片规格不能多于%1个（前缀不同的照片组）！\n\n%2")
                           .arg(kMaxSpecs)
                           .arg(photos),
                       Icon::Error);
            return -1;
        }
        // Position names are the prefix byte and a number: only a letter makes names that match the files.
        if (!((prefix >= 'A' && prefix <= 'Z') || (prefix >= 'a' && prefix <= 'z'))) {
            ui.message(QStringLiteral("模板照片的名称必须以一个英文字母开头（如 A001.jpg）：\n\n") + photos +
                           file,
                       Icon::Error);
            return -1;
        }
        const PictureInfo info = probe(photos + file);
        if (!info.ok()) {
            ui.message(QStringLiteral("无法读取模板照片：\n\n") + photos + file + QStringLiteral("\n") +
                           info.error,
                       Icon::Error);
            return -1;
        }
        current = prefix;
        record.spec[groups] = {prefix, static_cast<int>(bytes.size()) - 5, info.size.width(),
                               info.size.height(), 1};
        ++groups;
    }
    record.pTypeSum = groups;
    const QString problem = templateProblem(record);
    if (!problem.isEmpty()) {
        ui.message(QStringLiteral("模板不能加入模板库：") + problem + QStringLiteral("\n\n") + photos,
                   Icon::Error);
        return -1;
    }
    state.Templates.push_back(record);
    state.TemplateNames.append(name);
    const bool written = TEMPLATE_SAVE(state, ui);
    if (saved) *saved = written;
    return static_cast<int>(state.Templates.size()) - 1;
}

} // namespace zanfold
