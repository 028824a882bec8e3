#include "shell/custom_dialog.h"

#include "shell/icons.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace zanfold {

namespace {

QLineEdit* digitBox(QWidget* parent, QRect geometry, int id) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::number(id));
    box->setGeometry(geometry);
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(6);
    // Typed letters, signs and blanks never reach the box.
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    return box;
}

void label(QWidget* parent, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry.adjusted(0, -2, 8, 4)); // room for the font's descent
}

QPushButton* pictureButton(QWidget* parent, const QString& image, const QString& tip, QRect geometry,
                           int id) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::number(id));
    button->setIcon(resourceIcon(image));
    button->setIconSize(QSize(44, 22));
    button->setToolTip(tip);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CustomDialog::CustomDialog(AppState& state, Ui& ui, TemplateWindow& window, QWidget* owner)
    : QDialog(owner), state_(state), ui_(ui), window_(window) {
    setWindowTitle(QStringLiteral("自定义模板"));
    setFixedSize(460, 360);

    (new QGroupBox(QStringLiteral("模板名称"), this))->setGeometry(16, 16, 428, 68);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("3124"));
    name_->setGeometry(32, 40, 396, 26);

    (new QGroupBox(QStringLiteral("照片规格"), this))->setGeometry(16, 104, 428, 168);
    list_ = new QListWidget(this);
    list_->setGeometry(32, 128, 165, 140);
    label(this, QStringLiteral("宽度："), {224, 130, 36, 14});
    width_ = digitBox(this, {264, 128, 52, 23}, 3125);
    label(this, QStringLiteral("高度："), {336, 130, 36, 14});
    height_ = digitBox(this, {376, 128, 52, 23}, 3126);
    label(this, QStringLiteral("前缀："), {224, 162, 36, 20});
    prefix_ = new QComboBox(this);
    prefix_->setGeometry(264, 160, 52, 23);
    for (char c = 'A'; c <= 'Z'; ++c)
        prefix_->addItem(QString(QLatin1Char(c)));
    prefix_->setCurrentIndex(-1);
    label(this, QStringLiteral("长度："), {336, 162, 36, 14});
    flength_ = digitBox(this, {376, 160, 52, 23}, 3127);
    label(this, QStringLiteral("数量："), {224, 196, 36, 14});
    count_ = digitBox(this, {264, 192, 52, 23}, 3128);

    newSpec_ = pictureButton(this, QStringLiteral("500"), QStringLiteral("新规格"), {224, 227, 48, 26}, 3136);
    addSpec_ =
        pictureButton(this, QStringLiteral("501"), QStringLiteral("增加新规格"), {276, 227, 48, 26}, 3131);
    deleteSpec_ =
        pictureButton(this, QStringLiteral("502"), QStringLiteral("删除规格"), {328, 227, 48, 26}, 3132);
    editSpec_ =
        pictureButton(this, QStringLiteral("503"), QStringLiteral("修改规格"), {380, 227, 48, 26}, 3133);

    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setObjectName(QStringLiteral("3134"));
    ok_->setGeometry(224, 304, 97, 30);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setObjectName(QStringLiteral("3135"));
    cancel_->setGeometry(331, 304, 97, 30);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showing_ && row >= 0) run([this, row] { CUSTOM_LISTSELECT(editor_, row); });
    });
    for (QLineEdit* side : {width_, height_})
        connect(side, &QLineEdit::textChanged, this, [this] {
            if (!showing_) run([this] { CUSTOM_TEXTCHANGE(editor_); });
        });
    connect(newSpec_, &QPushButton::clicked, this, [this] { run([this] { CUSTOM_INIT(editor_); }); });
    connect(addSpec_, &QPushButton::clicked, this, [this] { run([this] { CUSTOM_NEWSPEC(editor_, ui_); }); });
    connect(deleteSpec_, &QPushButton::clicked, this,
            [this] { run([this] { CUSTOM_DELSPEC(editor_, ui_); }); });
    connect(editSpec_, &QPushButton::clicked, this,
            [this] { run([this] { CUSTOM_EDITSPEC(editor_, ui_); }); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        readFields();
        if (templateWindowAcceptCustom(window_, editor_, state_, ui_)) accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    showEditor();
}

QLineEdit* CustomDialog::field(int id) const {
    for (QLineEdit* box : {name_, width_, height_, flength_, count_})
        if (box->objectName() == QString::number(id)) return box;
    return nullptr;
}

QPushButton* CustomDialog::button(int id) const {
    for (QPushButton* b : {newSpec_, addSpec_, deleteSpec_, editSpec_, ok_, cancel_})
        if (b->objectName() == QString::number(id)) return b;
    return nullptr;
}

void CustomDialog::run(const std::function<void()>& rule) {
    readFields();
    rule();
    showEditor();
}

void CustomDialog::readFields() {
    editor_.name = name_->text();
    editor_.width = width_->text();
    editor_.height = height_->text();
    editor_.flength = flength_->text();
    editor_.count = count_->text();
    editor_.prefix = prefix_->currentText();
}

void CustomDialog::showEditor() {
    showing_ = true;
    // A box the rule left as it was keeps its cursor and selection: the user may be typing in it.
    const std::pair<QLineEdit*, const QString*> boxes[] = {{width_, &editor_.width},
                                                           {height_, &editor_.height},
                                                           {flength_, &editor_.flength},
                                                           {count_, &editor_.count}};
    for (const auto& [box, text] : boxes)
        if (box->text() != *text) box->setText(*text);
    prefix_->setCurrentIndex(prefix_->findText(editor_.prefix));
    QStringList rows;
    for (const SpecRecord& spec : editor_.specs)
        rows << customRowText(spec);
    QStringList shown;
    for (int i = 0; i < list_->count(); ++i)
        shown << list_->item(i)->text();
    if (shown != rows) {
        list_->clear();
        list_->addItems(rows);
    }
    list_->setCurrentRow(editor_.selected);
    if (editor_.selected < 0) list_->clearSelection();
    deleteSpec_->setEnabled(editor_.deleteEnabled);
    editSpec_->setEnabled(editor_.editEnabled);
    showing_ = false;
}

} // namespace zanfold
