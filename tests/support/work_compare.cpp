#include "support/work_compare.h"

#include <QImage>

namespace zanfold::test {

namespace {

QString shown(const QString& v) {
    return QLatin1Char('"') + v + QLatin1Char('"');
}
QString shown(int v) {
    return QString::number(v);
}
QString shown(bool v) {
    return v ? QStringLiteral("true") : QStringLiteral("false");
}
QString shown(const QImage& v) {
    return QStringLiteral("image %1x%2").arg(v.width()).arg(v.height());
}
QString shown(const QStringList& v) {
    return QLatin1Char('[') + v.join(QLatin1Char('|')) + QLatin1Char(']');
}
QString shown(const std::vector<FaceBox>& v) {
    QStringList faces;
    for (const FaceBox& f : v)
        faces << QStringLiteral("%1,%2 %3x%4")
                     .arg(f.rect.x())
                     .arg(f.rect.y())
                     .arg(f.rect.width())
                     .arg(f.rect.height());
    return QLatin1Char('[') + faces.join(QLatin1Char(' ')) + QLatin1Char(']');
}
QString shown(const std::array<int, 3>& v) {
    return QStringLiteral("(%1 %2 %3)").arg(v[0]).arg(v[1]).arg(v[2]);
}

// Collects the first difference.
class Comparer {
public:
    template <class T> void field(const QString& name, const T& expected, const T& actual) {
        if (!found.isEmpty() || expected == actual) return;
        found = name + QStringLiteral(": expected ") + shown(expected) + QStringLiteral(", found ") +
                shown(actual);
    }
    QString found;
};

void comparePhoto(Comparer& c, const QString& at, const PhotoRecord& e, const PhotoRecord& a) {
    c.field(at + QStringLiteral(".index"), e.index, a.index);
    c.field(at + QStringLiteral(".hasImage"), e.hasImage, a.hasImage);
    c.field(at + QStringLiteral(".image.file"), e.image.file, a.image.file);
    c.field(at + QStringLiteral(".image.orientation"), e.image.orientation, a.image.orientation);
    c.field(at + QStringLiteral(".image.quarterTurns"), e.image.quarterTurns, a.image.quarterTurns);
    c.field(at + QStringLiteral(".thumb"), e.thumb, a.thumb);
    c.field(at + QStringLiteral(".width"), e.width, a.width);
    c.field(at + QStringLiteral(".height"), e.height, a.height);
    c.field(at + QStringLiteral(".thumbWidth"), e.thumbWidth, a.thumbWidth);
    c.field(at + QStringLiteral(".thumbHeight"), e.thumbHeight, a.thumbHeight);
    c.field(at + QStringLiteral(".stripWidth"), e.stripWidth, a.stripWidth);
    c.field(at + QStringLiteral(".stripHeight"), e.stripHeight, a.stripHeight);
    c.field(at + QStringLiteral(".fileName"), e.fileName, a.fileName);
    c.field(at + QStringLiteral(".useCount"), e.useCount, a.useCount);
    c.field(at + QStringLiteral(".usage"), e.usage, a.usage);
    c.field(at + QStringLiteral(".orient"), e.orient, a.orient);
    c.field(at + QStringLiteral(".damaged"), e.damaged, a.damaged);
    c.field(at + QStringLiteral(".facesDetected"), e.facesDetected, a.facesDetected);
    c.field(at + QStringLiteral(".faces"), e.faces, a.faces);
}

void compareSlot(Comparer& c, const QString& at, const SlotRecord& e, const SlotRecord& a) {
    c.field(at + QStringLiteral(".photo"), e.photo, a.photo);
    c.field(at + QStringLiteral(".cropX"), e.cropX, a.cropX);
    c.field(at + QStringLiteral(".cropY"), e.cropY, a.cropY);
    c.field(at + QStringLiteral(".cropWidth"), e.cropWidth, a.cropWidth);
    c.field(at + QStringLiteral(".cropHeight"), e.cropHeight, a.cropHeight);
    c.field(at + QStringLiteral(".name"), e.name, a.name);
    c.field(at + QStringLiteral(".mask"), e.mask, a.mask);
    c.field(at + QStringLiteral(".handSet"), e.handSet, a.handSet);
}

template <class T, class Each>
void compareList(Comparer& c, const QString& name, const std::vector<T>& e, const std::vector<T>& a,
                 Each each) {
    c.field(name + QStringLiteral(".size"), static_cast<int>(e.size()), static_cast<int>(a.size()));
    for (size_t i = 0; i < e.size() && i < a.size(); ++i)
        each(c, name + QStringLiteral("[%1]").arg(i), e[i], a[i]);
}

} // namespace

QString workDifference(const WorkSnapshot& expected, const WorkSnapshot& actual) {
    Comparer c;
    compareList(c, QStringLiteral("photos"), expected.photos, actual.photos, comparePhoto);
    compareList(c, QStringLiteral("slots"), expected.slots, actual.slots, compareSlot);
    compareList(c, QStringLiteral("works"), expected.works, actual.works,
                [](Comparer& c, const QString& at, const WorkTemplate& e, const WorkTemplate& a) {
                    c.field(at + QStringLiteral(".template"), e.template_, a.template_);
                    c.field(at + QStringLiteral(".firstSlot"), e.firstSlot, a.firstSlot);
                });
    c.field(QStringLiteral("workTabs"), expected.workTabs, actual.workTabs);
    c.field(QStringLiteral("albumOrientCount"), expected.albumOrientCount, actual.albumOrientCount);
    c.field(QStringLiteral("workOrientCount"), expected.workOrientCount, actual.workOrientCount);
    return c.found;
}

} // namespace zanfold::test
