#include "output/preflight.h"

#include "core/text.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "imaging/regular_file.h"

#include <algorithm>
#include <map>

namespace zanfold {

double backgroundShare(const PhotoRecord& photo, const QRect& source) {
    const QRect inside = source.intersected(QRect(0, 0, photo.width, photo.height));
    const double area = static_cast<double>(source.width()) * source.height();
    return area > 0 ? 1.0 - static_cast<double>(inside.width()) * inside.height() / area : 0;
}

PreflightReport preflightCheck(const AppState& state) {
    PreflightReport report;
    std::map<int, bool> changed; // by photo, each file looked at once
    auto hasChanged = [&](int p) {
        const auto known = changed.find(p);
        if (known != changed.end()) return known->second;
        const bool now = changedSinceRead(state.Photos[p].image);
        if (now) report.changedPhotos << state.Photos[p].fileName;
        return changed[p] = now;
    };
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n) {
                const int g = CLIP_GETSLOT(state, w, s, n);
                const SlotRecord& slot = state.Slots[g];
                if (slot.photo < 0) continue;
                const PhotoRecord& photo = state.Photos[slot.photo];
                const QString position =
                    positionLabel(state, w, g) + QStringLiteral("（") + photo.fileName + QStringLiteral("）");
                const QRect source = sourceRect(photo, slot);
                const double factor = enlargementFactor(source, QSize(t.spec[s].width, t.spec[s].height));
                if (factor > kEnlargementWarning) report.enlarged.push_back({position, factor});
                if (photo.damaged) report.damaged << position;
                if (photo.profileUnusable) report.profileUnusable << position;
                if (showsBackground(photo, source)) report.background << position;
                if (state.settings.CheckMove && backgroundShare(photo, source) > 0.25)
                    report.lostFit << position;
                if (hasChanged(slot.photo)) {
                    report.changedSlots.push_back(g);
                    report.changedPositions << positionLabel(state, w, g);
                }
            }
        }
    }
    std::stable_sort(report.enlarged.begin(), report.enlarged.end(),
                     [](const auto& a, const auto& b) { return a.factor > b.factor; });
    return report;
}

QString preflightText(const PreflightReport& report) {
    QStringList parts;
    if (!report.enlarged.empty()) {
        QStringList lines;
        for (const PreflightReport::Enlarged& e : report.enlarged)
            lines << e.position + QStringLiteral("  ") + QString::number(e.factor, 'f', 2) +
                         QStringLiteral(" 倍");
        parts << QStringLiteral("有 %1 个位置的照片将被放大超过 %2 倍，裁出的图片可能不清晰：\n")
                         .arg(report.enlarged.size())
                         .arg(kEnlargementWarning) +
                     nameList(lines);
    }
    if (!report.damaged.isEmpty())
        parts << QStringLiteral("有 %1 个位置使用了已损坏的照片，裁出的图片可能有灰色区域：\n")
                         .arg(report.damaged.size()) +
                     nameList(report.damaged);
    if (!report.profileUnusable.isEmpty())
        parts << QStringLiteral("有 %1 个位置的照片颜色配置文件无法使用，将按照片中的原始数值裁切：\n")
                         .arg(report.profileUnusable.size()) +
                     nameList(report.profileUnusable);
    if (!report.background.isEmpty())
        parts << QStringLiteral("有 %1 个位置的裁图框超出了照片，超出的部分将是裁图背景色：\n")
                         .arg(report.background.size()) +
                     nameList(report.background);
    if (!report.lostFit.isEmpty())
        parts << QStringLiteral("有 %1 个位置的照片已不再填满裁图框，超过四分之一将是裁图背景色：\n")
                         .arg(report.lostFit.size()) +
                     nameList(report.lostFit);
    if (!report.changedPositions.isEmpty())
        parts << QStringLiteral("有 %1 张照片在读入后已被修改或移走：\n").arg(report.changedPhotos.size()) +
                     nameList(report.changedPhotos) +
                     QStringLiteral("\n使用它们的 %1 个位置不会写入（请先“更新照片”并检查裁图）：\n")
                         .arg(report.changedPositions.size()) +
                     nameList(report.changedPositions);
    parts << QStringLiteral("继续裁图？");
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace zanfold
