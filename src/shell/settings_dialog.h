#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "settings/settings_form.h"

#include <QDialog>

#include <functional>
#include <map>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace zanfold {

// The settings dialog: pages 输出, 裁图 and 其他 over a SettingsForm. The rules of settings/settings_form.h
// change the form; after each the dialog shows it again. OK saves, Cancel and the close box discard.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(AppState& state, Ui& ui, QWidget* owner);

    // A control by its identifier (4025 the tabs, 4125 … 4332, 4026 OK, 4027 Cancel).
    QWidget* control(int id) const;
    QTabWidget* tabs() const { return tabs_; }
    const SettingsForm& form() const { return form_; }

private:
    void run(const std::function<void()>& rule);
    void showForm();
    QWidget* place(QWidget* widget, int id, QRect box);

    AppState& state_;
    Ui& ui_;
    SettingsForm form_;
    std::map<int, QWidget*> controls_;
    QTabWidget* tabs_ = nullptr;
    QWidget* preview_ = nullptr;
    QLabel* naming_ = nullptr;
    QWidget* swatch_ = nullptr;
    bool showing_ = false; // the controls are being set from the form: their signals are not the user's
};

} // namespace zanfold
