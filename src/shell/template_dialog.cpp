#include "shell/template_dialog.h"

#include "core/commands.h"
#include "shell/custom_dialog.h"
#include "shell/icons.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zanfold {

namespace {

// Control identifiers of the window's buttons.
constexpr int kAdd = 3026;
constexpr int kDelete = 3027;
constexpr int kChoose = 3028;
constexpr int kExpand = 3029;
constexpr int kExit = 3030;

// A tree that joins its entries with dotted lines and shows boxed plus and minus signs, so the template,
// specification hierarchy reads at a glance whatever the style draws by itself.
class LinedTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override {
        const int indent = indentation();
        const int midY = rect.top() + rect.height() / 2;
        painter->save();
        painter->setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
        int right = rect.right() + 1;
        for (QModelIndex at = index; at.isValid(); at = at.parent(), right -= indent) {
            const int midX = right - indent + indent / 2;
            const bool below = at.sibling(at.row() + 1, 0).isValid();
            if (at != index) {
                if (below) painter->drawLine(midX, rect.top(), midX, rect.bottom());
                continue;
            }
            const bool above = at.row() > 0 || at.parent().isValid();
            painter->drawLine(midX, above ? rect.top() : midY, midX, below ? rect.bottom() : midY);
            painter->drawLine(midX, midY, right - 2, midY);
            if (!model()->hasChildren(index)) continue;
            const QRect box(midX - 4, midY - 4, 8, 8);
            painter->setPen(QColor(0x80, 0x80, 0x80));
            painter->fillRect(box, Qt::white);
            painter->drawRect(box);
            painter->setPen(Qt::black);
            painter->drawLine(midX - 2, midY, midX + 2, midY);
            if (!isExpanded(index)) painter->drawLine(midX, midY - 2, midX, midY + 2);
            painter->setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
        }
        painter->restore();
    }
};

QTreeWidgetItem* itemOf(const TemplateEntry& entry) {
    auto* item = new QTreeWidgetItem({entry.text});
    item->setIcon(0, resourceIcon(QString::number(299 + entry.image)));
    item->setData(0, Qt::UserRole, entry.userValue);
    for (const TemplateEntry& child : entry.children)
        item->addChild(itemOf(child));
    return item;
}

// The tree shows the model's entries: same texts in the same places.
bool sameEntries(const QTreeWidgetItem* item, const TemplateEntry& entry) {
    if (item->text(0) != entry.text || item->childCount() != static_cast<int>(entry.children.size()))
        return false;
    for (int i = 0; i < item->childCount(); ++i)
        if (!sameEntries(item->child(i), entry.children[i])) return false;
    return true;
}

// Brings the children of `item` in line with the entry's, touching only those that differ, so the
// tree keeps its scroll position and the other entries when one template is added or deleted.
void syncChildren(QTreeWidgetItem* item, const TemplateEntry& entry) {
    const int wanted = static_cast<int>(entry.children.size());
    for (int i = 0; i < wanted; ++i) {
        const TemplateEntry& child = entry.children[i];
        while (item->childCount() > wanted && i < item->childCount() && !sameEntries(item->child(i), child))
            delete item->takeChild(i);
        if (i < item->childCount() && sameEntries(item->child(i), child)) continue;
        if (i < item->childCount()) delete item->takeChild(i);
        item->insertChild(i, itemOf(child));
    }
    while (item->childCount() > wanted)
        delete item->takeChild(item->childCount() - 1);
}

} // namespace

TemplateDialog::TemplateDialog(AppState& state, Ui& ui, QWidget* owner)
    : QDialog(owner), state_(state), ui_(ui), model_(FRMTEMPLATE(state)) {
    setWindowTitle(QStringLiteral("模板"));
    setMinimumSize(360, 300);
    resize(450, 500);

    auto* toolbar = new QToolBar(this);
    toolbar->setIconSize(QSize(48, 48));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto addButton = [&](int id, const QString& text, const QString& image) {
        auto* button = new QToolButton(toolbar);
        button->setObjectName(QString::number(id));
        button->setText(text);
        button->setIcon(resourceIcon(image));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        toolbar->addWidget(button);
        return button;
    };
    add_ = addButton(kAdd, QStringLiteral("增加"), QStringLiteral("206"));
    delete_ = addButton(kDelete, QStringLiteral("删除"), QStringLiteral("207"));
    choose_ = addButton(kChoose, QStringLiteral("选择"), QStringLiteral("208"));
    toolbar->addSeparator();
    expand_ = addButton(kExpand, QStringLiteral("展开"), QStringLiteral("209"));
    exit_ = addButton(kExit, QStringLiteral("退出"), QStringLiteral("205"));
    expand_->setCheckable(true);
    expand_->setChecked(state_.TemplateExpand != 0);

    auto dropDown = [this](QToolButton* button, int commandId, const QString& text, const QString& image) {
        auto* menu = new QMenu(button);
        QAction* action = menu->addAction(resourceIcon(image), text);
        action->setData(commandId);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        return action;
    };
    custom_ =
        dropDown(add_, command::CustomTemplate, QStringLiteral("自定义模板"), QStringLiteral("16TemplateA"));
    clear_ =
        dropDown(delete_, command::ClearTemplates, QStringLiteral("清除模板"), QStringLiteral("16deleteA"));

    tree_ = new LinedTree(this);
    tree_->setHeaderHidden(true);
    tree_->setIconSize(QSize(24, 24));
    tree_->setRootIsDecorated(true);
    tree_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(true);
    status_ = new QLabel(statusBar);
    notice_ = new QLabel(statusBar);
    statusBar->addWidget(status_);
    statusBar->addWidget(notice_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(tree_, 1);
    layout->addWidget(statusBar);

    connect(add_, &QToolButton::clicked, this,
            [this] { run([this] { templateWindowImport(model_, state_, ui_); }); });
    connect(delete_, &QToolButton::clicked, this,
            [this] { run([this] { TEMPLATE_DELETE(model_, state_, ui_); }); });
    connect(choose_, &QToolButton::clicked, this,
            [this] { run([this] { TEMPLATE_CHOOSE(model_, state_); }); });
    connect(expand_, &QToolButton::clicked, this,
            [this] { run([this] { TEMPLATE_EXPAND(model_, state_); }); });
    connect(exit_, &QToolButton::clicked, this, &QDialog::reject);
    connect(custom_, &QAction::triggered, this, &TemplateDialog::openCustomEditor);
    connect(clear_, &QAction::triggered, this,
            [this] { run([this] { TEMPLATE_CLEAR(model_, state_, ui_); }); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (showing_ || !item) return;
        run([this, item] { TEMPLATE_SELCHANGE(model_, state_, placeOf(item)); });
    });
    // Entries opened or closed by hand stay so until 展开 says otherwise.
    auto remember = [this](QTreeWidgetItem* item, bool expanded) {
        if (showing_) return;
        const TreePlace place = placeOf(item);
        if (!item->parent())
            model_.root.expanded = expanded;
        else if (place.specRow < 0)
            model_.root.children[place.templateRow].expanded = expanded;
    };
    connect(tree_, &QTreeWidget::itemExpanded, this,
            [remember](QTreeWidgetItem* item) { remember(item, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [remember](QTreeWidgetItem* item) { remember(item, false); });
    // In select mode a double click (or Return) on a template chooses it, as the 选择 button would.
    connect(tree_, &QTreeWidget::itemActivated, this, [this] {
        if (model_.chooseEnabled) run([this] { TEMPLATE_CHOOSE(model_, state_); });
    });
    tree_->setExpandsOnDoubleClick(!model_.selectMode);
    showModel();
}

QToolButton* TemplateDialog::button(int id) const {
    for (QToolButton* b : {add_, delete_, choose_, expand_, exit_})
        if (b->objectName() == QString::number(id)) return b;
    return nullptr;
}

QAction* TemplateDialog::menuAction(int commandId) const {
    return commandId == command::CustomTemplate   ? custom_
           : commandId == command::ClearTemplates ? clear_
                                                  : nullptr;
}

void TemplateDialog::run(const std::function<void()>& rule) {
    rule();
    showModel();
    if (model_.closed) accept();
}

void TemplateDialog::showModel() {
    showing_ = true;
    if (tree_->topLevelItemCount() == 0) tree_->addTopLevelItem(itemOf({model_.root.text, 1, -1, true, {}}));
    QTreeWidgetItem* root = tree_->topLevelItem(0);
    root->setText(0, model_.root.text);
    syncChildren(root, model_.root);
    root->setExpanded(model_.root.expanded);
    for (int i = 0; i < root->childCount(); ++i)
        root->child(i)->setExpanded(model_.root.children[i].expanded);
    if (model_.selected) {
        tree_->setCurrentItem(itemAt(*model_.selected));
    } else {
        tree_->setCurrentItem(nullptr);
        tree_->clearSelection();
    }
    delete_->setEnabled(model_.deleteEnabled);
    choose_->setEnabled(model_.chooseEnabled);
    expand_->setChecked(state_.TemplateExpand != 0);
    status_->setText(model_.status);
    notice_->setText(model_.notice);
    showing_ = false;
}

QTreeWidgetItem* TemplateDialog::itemAt(TreePlace place) const {
    QTreeWidgetItem* item = tree_->topLevelItem(0);
    if (place.templateRow >= 0) item = item->child(place.templateRow);
    if (item && place.specRow >= 0) item = item->child(place.specRow);
    return item;
}

TreePlace TemplateDialog::placeOf(QTreeWidgetItem* item) const {
    QTreeWidgetItem* root = tree_->topLevelItem(0);
    if (!item || item == root) return {};
    if (item->parent() == root) return {root->indexOfChild(item), -1};
    return {root->indexOfChild(item->parent()), item->parent()->indexOfChild(item)};
}

void TemplateDialog::openCustomEditor() {
    // Hiding a dialog ends its modal loop, so the window closes its loop here and runModal() opens the
    // editor, then this window again as it was.
    customRequested_ = true;
    done(QDialog::Rejected);
}

int TemplateDialog::runModal() {
    for (;;) {
        const int result = exec();
        if (!customRequested_) return result;
        customRequested_ = false;
        const QPoint place = pos();
        CustomDialog editor(state_, ui_, model_, parentWidget());
        editor.exec();
        showModel();
        // Where the user left it, rather than centred again over the main window.
        move(place);
    }
}

} // namespace zanfold
