#include "templates/template_import.h"

#include "core/records.h"
#include "core/text.h"
#include "imaging/file_utils.h"
#include "imaging/picture.h"
#include "templates/library_file.h"

#include <QDir>
#include <QSet>

#include <vector>

namespace zanfold {

namespace {

const QString kPhotoFolder = QStringLiteral("照片");

QString unreadablePlaceholderText(const QString& path, const QString& reason) {
    return QStringLiteral("无法读取模板照片：\n\n") + path + QStringLiteral("\n") + reason;
}

// The first placeholder of the group whose name is not one the positions of `spec` are written under
// (prefix, then 1, 2, 3 … with the naming length's digits); empty when they all are.
QString misnumberedPlaceholder(const SpecRecord& spec, const QStringList& files) {
    QSet<QString> expected;
    for (int k = 1; k <= spec.count; ++k)
        expected.insert(positionName(spec.prefix, spec.flength, k));
    for (const QString& file : files)
        if (!expected.contains(file.left(file.size() - 4))) return file;
    return {};
}

QString misnumberedText(const SpecRecord& spec, const QString& photos, const QString& file) {
    return QStringLiteral(
               "模板照片 %1 的编号与同组的其它照片不相符，模板未导入。\n同一组照片必须从 1 起连续编号，"
               "位数相同（%2.jpg、%3.jpg、%4.jpg……）。\n\n%5")
        .arg(file, positionName(spec.prefix, spec.flength, 1), positionName(spec.prefix, spec.flength, 2),
             positionName(spec.prefix, spec.flength, 3), photos + file);
}

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

int importTemplate(AppState& state, Ui& ui, const QString& given, bool* saved) {
    // A path typed on Windows may use backslashes; in memory paths use "/".
    const QString projectFile = QDir::fromNativeSeparators(given);
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
    std::vector<QStringList> groups;
    char current = 0;
    for (const QString& file : names) {
        const QByteArray bytes = toGb18030(file).value_or(file.toLatin1());
        const char prefix = bytes.at(0);
        if (!groups.empty() && prefix == current) {
            groups.back() << file;
            continue;
        }
        if (static_cast<int>(groups.size()) == kMaxSpecs) {
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
            ui.message(unreadablePlaceholderText(photos + file, info.error), Icon::Error);
            return -1;
        }
        current = prefix;
        record.spec[groups.size()] = {prefix, static_cast<int>(bytes.size()) - 5, info.size.width(),
                                      info.size.height(), 0};
        groups.push_back({file});
    }
    record.pTypeSum = static_cast<int>(groups.size());
    for (int j = 0; j < record.pTypeSum; ++j)
        record.spec[j].count = static_cast<int>(groups[j].size());
    const QString problem = templateProblem(record);
    if (!problem.isEmpty()) {
        ui.message(QStringLiteral("模板不能加入模板库：") + problem + QStringLiteral("\n\n") + photos,
                   Icon::Error);
        return -1;
    }
    // Every output is written under its position's name at its specification's size: a placeholder the
    // names or sizes would not reproduce is refused rather than replaced by a wrong file.
    for (int j = 0; j < record.pTypeSum; ++j) {
        const QString misnamed = misnumberedPlaceholder(record.spec[j], groups[j]);
        if (!misnamed.isEmpty()) {
            ui.message(misnumberedText(record.spec[j], photos, misnamed), Icon::Error);
            return -1;
        }
    }
    QStringList otherSizes;
    for (int j = 0; j < record.pTypeSum; ++j) {
        const SpecRecord& spec = record.spec[j];
        for (const QString& file : groups[j].mid(1)) {
            const PictureInfo info = probe(photos + file);
            if (!info.ok()) {
                ui.message(unreadablePlaceholderText(photos + file, info.error), Icon::Error);
                return -1;
            }
            if (info.size != QSize(spec.width, spec.height))
                otherSizes << QStringLiteral("%1：%2 × %3（%4：%5 × %6）")
                                  .arg(file)
                                  .arg(info.size.width())
                                  .arg(info.size.height())
                                  .arg(groups[j].front())
                                  .arg(spec.width)
                                  .arg(spec.height);
        }
    }
    if (!otherSizes.isEmpty()) {
        ui.message(QStringLiteral("同一组模板照片的尺寸必须相同，有 %1 张与本组第一张不同，模板未导入：\n")
                           .arg(otherSizes.size()) +
                       nameList(otherSizes) + QStringLiteral("\n\n") + photos,
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
