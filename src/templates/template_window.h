#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QString>

#include <optional>
#include <vector>

namespace zanfold {

struct CustomEditor;

// One entry of the template tree. The user value tells the kinds apart: -1 the root, 0 a specification,
// otherwise a template, whose user value is its position count.
struct TemplateEntry {
    QString text;
    int image = 0; // 1 root, 2 template, 3 specification
    int userValue = 0;
    bool expanded = false;
    std::vector<TemplateEntry> children;
};

// Where an entry sits: the template's row under the root (-1: the root itself) and, for a specification,
// its row under the template (-1: the template entry).
struct TreePlace {
    int templateRow = -1;
    int specRow = -1;
    bool operator==(const TreePlace&) const = default;
};

// What the template window shows. Its widgets only mirror this; every rule below changes it. The template
// entries under the root are always in library order, one per entry of Templates.
struct TemplateWindow {
    bool selectMode = false;
    TemplateEntry root;
    std::optional<TreePlace> selected; // the selected entry; nothing selected when empty
    bool deleteEnabled = false;
    bool chooseEnabled = false;
    QString status; // "模板数量： N"
    QString notice; // what the last addition did, beside the count
    bool closed = false;
};

// The tree entry texts: "wedding (15)" and "A： 1920 × 1080 (12)".
QString templateEntryText(const QString& name, int count);
QString rootEntryText(int dashes);

// Opens the window over the library: the root entry, TEMPLATE_LIST, and the mode from TemplateSelectMode.
// Template entries start expanded when the 展开 button was left pressed, so the button and the tree agree.
TemplateWindow FRMTEMPLATE(const AppState& state);

// Adds every library template under the root, expands the root and sets the count.
void TEMPLATE_LIST(TemplateWindow& window, const AppState& state);
// A new entry was selected: a specification stands for its template, whose name (the entry text without
// the bracket group its user value accounts for) becomes SelectedTemplateName; the entry stays selected.
void TEMPLATE_SELCHANGE(TemplateWindow& window, AppState& state, TreePlace place);
// Toggles 展开 and expands or collapses every template entry accordingly.
void TEMPLATE_EXPAND(TemplateWindow& window, AppState& state);
// Deletes the selected template from the library file, the lists and the tree, after asking.
void TEMPLATE_DELETE(TemplateWindow& window, AppState& state, Ui& ui);
// Select mode: the selected template becomes CurrentTemplate and the window closes.
void TEMPLATE_CHOOSE(TemplateWindow& window, AppState& state);
// Empties the library after asking; the file is kept as the backup zfTemplate.xml.bak.
void TEMPLATE_CLEAR(TemplateWindow& window, AppState& state, Ui& ui);

// 增加: imports a template project and shows the new entry, the count and what was added.
void templateWindowImport(TemplateWindow& window, AppState& state, Ui& ui);
// 确定 of the custom template dialog: creates the template and shows it. True when the dialog may close.
bool templateWindowAcceptCustom(TemplateWindow& window, CustomEditor& editor, AppState& state, Ui& ui);

} // namespace zanfold
