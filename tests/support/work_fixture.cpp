#include "support/work_fixture.h"

#include "core/geometry.h"
#include "crop/work_templates.h"

#include <algorithm>

namespace zanfold::test {

PhotoRecord makePhoto(int index, QSize size) {
    PhotoRecord p;
    p.index = index;
    p.hasImage = true;
    p.width = size.width();
    p.height = size.height();
    p.thumbWidth = p.width;
    p.thumbHeight = p.height;
    ZF_GETZOOM(200, 200, p.thumbWidth, p.thumbHeight);
    p.thumbWidth = std::max(1, p.thumbWidth);
    p.thumbHeight = std::max(1, p.thumbHeight);
    p.stripWidth = p.thumbWidth;
    p.stripHeight = p.thumbHeight;
    ZF_GETZOOM(100, 100, p.stripWidth, p.stripHeight);
    p.stripWidth = std::max(1, p.stripWidth);
    p.stripHeight = std::max(1, p.stripHeight);
    p.orient = PHOTO_GETTYPE(p.stripWidth, p.stripHeight);
    p.fileName = QStringLiteral("IMG_%1.jpg").arg(index, 4, 10, QLatin1Char('0'));
    return p;
}

void setAlbum(AppState& state, const std::vector<QSize>& sizes) {
    state.Photos.clear();
    state.AlbumOrientCount = {0, 0, 0};
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i)
        state.Photos.push_back(makePhoto(i, sizes[i]));
    std::stable_sort(state.Photos.begin(), state.Photos.end(),
                     [](const PhotoRecord& a, const PhotoRecord& b) { return a.orient < b.orient; });
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i) {
        state.Photos[i].index = i;
        ++state.AlbumOrientCount[state.Photos[i].orient];
    }
    state.AlbumPath = QStringLiteral("/photos/trip");
}

int addLibraryTemplate(AppState& state, const QString& name, const std::vector<SpecRecord>& specs,
                       const QString& path) {
    TemplateRecord t;
    t.path = path;
    t.pTypeSum = static_cast<int>(specs.size());
    for (size_t j = 0; j < specs.size(); ++j) {
        t.spec[j] = specs[j];
        t.count += specs[j].count;
    }
    state.Templates.push_back(t);
    state.TemplateNames.append(name);
    return static_cast<int>(state.Templates.size()) - 1;
}

void addToWork(AppState& state, Ui& ui, int t) {
    state.CurrentTemplate = t;
    CLIP_ADDTEMPLATE(state, ui);
}

void setCanvasArea(AppState& state, int width, int height) {
    state.ToolbarHeight = 40;
    state.RightPaneWidth = width;
    state.CanvasHeight = height;
}

} // namespace zanfold::test
