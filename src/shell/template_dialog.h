#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "templates/template_window.h"

#include <QDialog>

class QAction;
class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zanfold {

// The template window: the library as a tree, with the toolbar that adds, deletes, chooses and expands.
// Opened modally by the main window in management or select mode; the rules it runs are those of
// templates/template_window.h, and after each it shows their model again.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(AppState& state, Ui& ui, QWidget* owner);

    QTreeWidget* tree() const { return tree_; }
    QToolButton* button(int id) const;        // 3026 增加 .. 3030 退出
    QAction* menuAction(int commandId) const; // 1215 自定义模板, 1216 清除模板
    QLabel* statusLabel() const { return status_; }
    QLabel* noticeLabel() const { return notice_; }
    const TemplateWindow& model() const { return model_; }
    // Runs the window modally until it is closed. While the custom template editor is open the window is
    // away; it comes back as it was, with the new template in the tree after 确定.
    int runModal();

private:
    void run(const std::function<void()>& rule);
    void showModel();
    QTreeWidgetItem* itemAt(TreePlace place) const;
    TreePlace placeOf(QTreeWidgetItem* item) const;
    void openCustomEditor();

    AppState& state_;
    Ui& ui_;
    TemplateWindow model_;
    QTreeWidget* tree_ = nullptr;
    QToolButton* add_ = nullptr;
    QToolButton* delete_ = nullptr;
    QToolButton* choose_ = nullptr;
    QToolButton* expand_ = nullptr;
    QToolButton* exit_ = nullptr;
    QAction* custom_ = nullptr;
    QAction* clear_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* notice_ = nullptr;
    bool showing_ = false;         // the tree is being set from the model: its signals are not the user's
    bool customRequested_ = false; // the window closed to make way for the custom template editor
};

} // namespace zanfold
