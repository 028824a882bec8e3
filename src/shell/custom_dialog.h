#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "templates/custom_template.h"
#include "templates/template_window.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zanfold {

// The custom template dialog: a name and up to nine specifications typed by hand. Its widgets mirror a
// CustomEditor; the rules are those of templates/custom_template.h. On 确定 the template joins the library
// and the template window's tree.
class CustomDialog : public QDialog {
    Q_OBJECT
public:
    CustomDialog(AppState& state, Ui& ui, TemplateWindow& window, QWidget* owner);

    // By control identifier: 3124 name, 3125 width, 3126 height, 3127 naming length, 3128 count.
    QLineEdit* field(int id) const;
    QListWidget* specList() const { return list_; }
    QComboBox* prefixBox() const { return prefix_; }
    // 3131 增加新规格, 3132 删除规格, 3133 修改规格, 3134 确定, 3135 取消, 3136 新规格.
    QPushButton* button(int id) const;

private:
    void run(const std::function<void()>& rule);
    void readFields();
    void showEditor();

    AppState& state_;
    Ui& ui_;
    TemplateWindow& window_;
    CustomEditor editor_;
    QLineEdit* name_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QLineEdit* flength_ = nullptr;
    QLineEdit* count_ = nullptr;
    QComboBox* prefix_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* newSpec_ = nullptr;
    QPushButton* addSpec_ = nullptr;
    QPushButton* deleteSpec_ = nullptr;
    QPushButton* editSpec_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool showing_ = false; // the widgets are being set from the editor: their signals are not the user's
};

} // namespace zanfold
