#include "shell/settings_dialog.h"

#include "shell/icons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>

namespace zanfold {

namespace {

QColor windowsColour(int c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The position preview: the photo picture where UPDATECLIP puts it and the red crop frame over it.
class PreviewPanel : public QWidget {
public:
    PreviewPanel(const SettingsForm& form, QWidget* parent) : QWidget(parent), form_(form) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const ClipPreview preview = clipPreview(form_);
        drawResourcePicture(painter, QStringLiteral("103"), QRectF(preview.photo, QSizeF(120, 120)));
        painter.setPen(QColor(255, 0, 0));
        painter.drawRect(preview.frame);
    }

private:
    const SettingsForm& form_;
};

// The colour swatch: a bordered label that reports clicks.
class Swatch : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
};

} // namespace

SettingsDialog::SettingsDialog(AppState& state, Ui& ui, QWidget* owner)
    : QDialog(owner), state_(state), ui_(ui), form_(settingsForm(state.settings)) {
    using namespace settings_control;
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(512, 420);
    if (owner) move(owner->mapToGlobal(QPoint(20, 0)));

    tabs_ = new QTabWidget(this);
    place(tabs_, 4025, {16, 16, 480, 322});
    auto* output = new QWidget;
    auto* crop = new QWidget;
    auto* other = new QWidget;
    tabs_->addTab(output, resourceIcon(QStringLiteral("401")), QStringLiteral("输出"));
    tabs_->addTab(crop, resourceIcon(QStringLiteral("402")), QStringLiteral("裁图"));
    tabs_->addTab(other, resourceIcon(QStringLiteral("403")), QStringLiteral("其他"));

    auto group = [](QWidget* page, const QString& title, QRect box) {
        auto* g = new QGroupBox(title, page);
        g->setGeometry(box);
        g->lower();
    };
    auto label = [this](QWidget* page, const QString& text, QRect box) {
        return static_cast<QLabel*>(place(new QLabel(text, page), 0, box));
    };
    auto option = [this](QWidget* page, QButtonGroup* buttons, int id, const QString& text, QRect box) {
        auto* button = new QRadioButton(text, page);
        buttons->addButton(button, id);
        place(button, id, box);
        connect(button, &QRadioButton::clicked, this,
                [this, id] { run([this, id] { OPTPROC(form_, id); }); });
    };
    auto check = [this](QWidget* page, int id, const QString& text, QRect box, bool SettingsForm::*field) {
        auto* box_ = new QCheckBox(text, page);
        place(box_, id, box);
        connect(box_, &QCheckBox::toggled, this, [this, field](bool on) {
            if (!showing_) form_.*field = on;
        });
    };

    // 输出
    group(output, QStringLiteral("裁图输出位置"), {24, 24, 422, 96});
    auto* where = new QButtonGroup(this);
    option(output, where, FixedFolder, QStringLiteral("固定文件夹"), {47, 54, 78, 14});
    auto* folder = new QLineEdit(output);
    folder->setReadOnly(true);
    place(folder, 4126, {128, 52, 263, 21});
    auto* browse = new QToolButton(output);
    browse->setIcon(resourceIcon(QStringLiteral("400")));
    browse->setToolTip(QStringLiteral("选择裁图输出文件夹"));
    place(browse, 4127, {394, 50, 29, 24});
    connect(browse, &QToolButton::clicked, this,
            [this] { run([this] { BUTTONPROC(form_, state_.settings, ui_); }); });
    option(output, where, AlbumSubfolder, QStringLiteral("照片文件夹下新建裁图目录"), {48, 84, 300, 14});
    // Our own setting, on the free end of the 照片文件夹 row.
    label(output, QStringLiteral("JPEG 质量"), {300, 84, 62, 14});
    auto* quality = new QSpinBox(output);
    quality->setRange(50, 100);
    place(quality, 4133, {366, 80, 60, 22});
    connect(quality, &QSpinBox::valueChanged, this, [this](int q) {
        if (!showing_) form_.jpegQuality = q;
    });
    group(output, QStringLiteral("裁图文件夹命名形式"), {24, 144, 422, 130});
    auto* naming = new QButtonGroup(this);
    option(output, naming, AlbumAndTemplate, QStringLiteral("相册名称_模板名称"), {48, 178, 125, 14});
    option(output, naming, AlbumOnly, QStringLiteral("相册名称"), {48, 208, 123, 14});
    label(output, QStringLiteral("|"), {74, 224, 100, 13});
    label(output, QStringLiteral("└───模板名称"), {70, 237, 100, 14});
    naming_ = new QLabel(output);
    naming_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    naming_->setAlignment(Qt::AlignCenter);
    place(naming_, 4131, {204, 166, 220, 92});

    // 裁图
    group(crop, QStringLiteral("照片默认位置"), {24, 24, 228, 248});
    preview_ = new PreviewPanel(form_, crop);
    place(preview_, 4225, {40, 56, 170, 170});
    auto* position = new QSlider(Qt::Vertical, crop);
    position->setRange(0, 10);
    position->setPageStep(1);
    position->setTickPosition(QSlider::TicksBothSides);
    position->setInvertedAppearance(true); // row 0 at the top, as the preview reads
    position->setInvertedControls(true);
    place(position, 4226, {216, 60, 28, 150});
    connect(position, &QSlider::valueChanged, this, [this, position](int p) {
        if (showing_) return;
        run([this, p] { TRACKPROC(form_, p); });
        QToolTip::showText(QCursor::pos(), QString::number(p), position);
    });
    auto* side = new QButtonGroup(this);
    option(crop, side, Landscape, QStringLiteral("横照片"), {48, 240, 72, 14});
    option(crop, side, Portrait, QStringLiteral("竖照片"), {144, 240, 72, 14});
    group(crop, QStringLiteral("滚轮缩放照片速度"), {272, 24, 175, 109});
    auto* zoomText = new QLineEdit(crop);
    zoomText->setReadOnly(true);
    place(zoomText, 4229, {304, 48, 43, 24});
    auto* zoom = new QSlider(Qt::Horizontal, crop);
    zoom->setRange(1, 6);
    zoom->setPageStep(1);
    zoom->setTickPosition(QSlider::TicksBelow);
    place(zoom, 4230, {289, 88, 140, 28});
    connect(zoom, &QSlider::valueChanged, this, [this, zoom](int p) {
        if (showing_) return;
        run([this, p] { TRACKPROC_ZOOM(form_, p); });
        QToolTip::showText(QCursor::pos(), QString::number(p), zoom);
    });
    group(crop, QStringLiteral("裁图背景"), {272, 152, 175, 120});
    check(crop, 4231, QStringLiteral("禁止照片移出裁图框"), {298, 184, 125, 23}, &SettingsForm::checkMove);
    label(crop, QStringLiteral("背景颜色"), {296, 228, 64, 14});
    auto* swatch = new Swatch(crop);
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    swatch->setAutoFillBackground(true);
    swatch->setToolTip(QStringLiteral("点击设置颜色"));
    swatch->clicked = [this] { run([this] { LABPROC(form_, ui_); }); };
    swatch_ = place(swatch, 4232, {365, 216, 61, 38});
    // Our own setting, in the group of the position it refines.
    check(crop, 4233, QStringLiteral("自动对准人脸"), {48, 256, 180, 14}, &SettingsForm::faceCrop);
    control(4233)->setToolTip(QStringLiteral("导入时查找照片中的人脸，分配照片时裁图框避开人脸，不切到头部"));

    // 其他
    group(other, QStringLiteral("自动分配照片"), {24, 24, 422, 134});
    check(other, 4326, QStringLiteral("强制同规格分配照片"), {48, 48, 280, 22}, &SettingsForm::lockType);
    check(other, 4332, QStringLiteral("自动分配剩余照片"), {48, 72, 280, 22}, &SettingsForm::surplusPhoto);
    check(other, 4325, QStringLiteral("照片不够时自动循环使用"), {48, 96, 280, 22}, &SettingsForm::loopPhoto);
    check(other, 4327, QStringLiteral("每个模板都从第一张照片开始分配"), {48, 120, 280, 22},
          &SettingsForm::firstPhoto);
    check(other, 4328, QStringLiteral("以安全方式导入照片"), {48, 176, 200, 22}, &SettingsForm::safeImport);
    // Our own setting, beside the other import option.
    check(other, 4333, QStringLiteral("按拍摄方向自动转正照片"), {256, 176, 190, 22},
          &SettingsForm::autoOrient);
    check(other, 4329, QStringLiteral("裁图完成后打开输出文件夹"), {48, 200, 280, 22},
          &SettingsForm::openFolder);
    check(other, 4330, QStringLiteral("裁图完成后弹出消息框"), {48, 224, 280, 22}, &SettingsForm::finishAsk);
    check(other, 4331, QStringLiteral("使用蒙版（如果有）"), {48, 248, 280, 22}, &SettingsForm::useMask);
    check(other, 4334, QStringLiteral("颜色管理（转为 sRGB）"), {256, 200, 190, 22},
          &SettingsForm::colorManage);
    control(4334)->setToolTip(
        QStringLiteral("带颜色配置文件（如 Adobe RGB）的照片，缩略图和裁出的图片都转换为 sRGB"));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    place(ok, 4026, {248, 352, 109, 31});
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    place(cancel, 4027, {368, 352, 109, 31});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (SAVEOPTIONS(form_, state_, ui_)) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showForm();
}

QWidget* SettingsDialog::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QWidget* SettingsDialog::place(QWidget* widget, int id, QRect box) {
    // The layout's boxes were measured for a smaller font: a control that needs more room grows to the
    // right and about its middle, so every control keeps its place.
    const QSize hint = widget->sizeHint();
    if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget)) {
        const int height = std::max(box.height(), hint.height());
        box =
            QRect(box.left(), box.center().y() - height / 2 + 1, std::max(box.width(), hint.width()), height);
    }
    widget->setGeometry(box);
    if (id != 0) {
        widget->setObjectName(QString::number(id));
        controls_[id] = widget;
    }
    return widget;
}

void SettingsDialog::run(const std::function<void()>& rule) {
    rule();
    showForm();
}

void SettingsDialog::showForm() {
    using namespace settings_control;
    showing_ = true;
    auto setChecked = [this](int id, bool on) { static_cast<QAbstractButton*>(control(id))->setChecked(on); };
    setChecked(form_.fixedFolder ? FixedFolder : AlbumSubfolder, true);
    setChecked(form_.albumAndTemplate ? AlbumAndTemplate : AlbumOnly, true);
    setChecked(form_.positionEditMode == 0 ? Landscape : Portrait, true);
    static_cast<QLineEdit*>(control(4126))->setText(form_.folder);
    control(4126)->setEnabled(form_.folderEnabled);
    control(4127)->setEnabled(form_.folderEnabled);
    static_cast<QSpinBox*>(control(4133))->setValue(form_.jpegQuality);
    naming_->setPixmap(resourcePixmap(QString::number(namingPicture(form_)), QSize(216, 90),
                                      devicePixelRatioF(), Qt::white));
    static_cast<QSlider*>(control(4226))->setValue(form_.positionTrack);
    static_cast<QSlider*>(control(4230))->setValue(form_.zoomTrack);
    static_cast<QLineEdit*>(control(4229))->setText(form_.zoomText);
    QPalette palette = swatch_->palette();
    palette.setColor(QPalette::Window, windowsColour(form_.swatchColor));
    swatch_->setPalette(palette);
    const std::pair<int, bool> checks[] = {
        {4231, form_.checkMove},  {4326, form_.lockType},    {4332, form_.surplusPhoto},
        {4325, form_.loopPhoto},  {4327, form_.firstPhoto},  {4328, form_.safeImport},
        {4333, form_.autoOrient}, {4329, form_.openFolder},  {4330, form_.finishAsk},
        {4331, form_.useMask},    {4334, form_.colorManage}, {4233, form_.faceCrop}};
    for (const auto& [id, on] : checks)
        setChecked(id, on);
    preview_->update();
    showing_ = false;
}

} // namespace zanfold
