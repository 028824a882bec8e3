#include "templates/template_window.h"

#include "core/text.h"
#include "templates/custom_template.h"
#include "templates/library_file.h"
#include "templates/template_import.h"

namespace zanfold {

namespace {

TemplateEntry templateEntry(const AppState& state, int t, bool expanded) {
    const TemplateRecord& record = state.Templates[t];
    TemplateEntry entry{
        templateEntryText(state.TemplateNames.value(t), record.count), 2, record.count, expanded, {}};
    for (int j = 0; j < record.pTypeSum; ++j)
        entry.children.push_back({customRowText(record.spec[j]), 3, 0, false, {}});
    return entry;
}

void setSelectionEnabled(TemplateWindow& window, bool enabled) {
    window.deleteEnabled = enabled;
    window.chooseEnabled = enabled && window.selectMode;
}

// The newest template of the lists joins the tree; the notice says what happened to it.
void showAdded(TemplateWindow& window, const AppState& state, const QString& done, bool saved) {
    const int t = static_cast<int>(state.Templates.size()) - 1;
    const TemplateRecord& record = state.Templates[t];
    window.root.children.push_back(templateEntry(state, t, state.TemplateExpand != 0));
    window.root.expanded = true;
    window.status = templateCountText(state);
    window.notice = QStringLiteral("%1模板 %2：%3 种规格，%4 张照片")
                        .arg(done, state.TemplateNames.value(t))
                        .arg(record.pTypeSum)
                        .arg(record.count);
    // The template still works until the program ends, but the user must know it will be gone then.
    if (!saved) window.notice += QStringLiteral("（未能存入模板库文件）");
}

// Takes library entry t out of the lists. Work templates after it refer to the entries by index, so their
// references move down with them.
void removeFromLists(AppState& state, int t) {
    state.Templates.erase(state.Templates.begin() + t);
    state.TemplateNames.removeAt(t);
    for (WorkTemplate& work : state.WorkTemplates)
        if (work.template_ > t) --work.template_;
    state.History.templateRemoved(t);
}

} // namespace

QString templateEntryText(const QString& name, int count) {
    return name + QStringLiteral(" (") + QString::number(count) + QLatin1Char(')');
}

QString rootEntryText(int dashes) {
    const QString line(dashes, QLatin1Char('-'));
    return line + QStringLiteral(" 模板列表 ") + line;
}

TemplateWindow FRMTEMPLATE(const AppState& state) {
    TemplateWindow window;
    window.selectMode = state.TemplateSelectMode != 0;
    window.root = {rootEntryText(38), 1, -1, false, {}};
    TEMPLATE_LIST(window, state);
    return window;
}

void TEMPLATE_LIST(TemplateWindow& window, const AppState& state) {
    for (int t = 0; t < static_cast<int>(state.Templates.size()); ++t)
        window.root.children.push_back(templateEntry(state, t, state.TemplateExpand != 0));
    window.root.expanded = true;
    window.status = templateCountText(state);
}

void TEMPLATE_SELCHANGE(TemplateWindow& window, AppState& state, TreePlace place) {
    const auto& templates = window.root.children;
    if (place.templateRow < 0 || place.templateRow >= static_cast<int>(templates.size())) {
        window.selected = TreePlace{};
        setSelectionEnabled(window, false);
        return;
    }
    // A specification entry stands for its template, but stays the entry the user is on, so the keys walk
    // the tree as usual.
    window.selected = place;
    const TemplateEntry& entry = templates[place.templateRow];
    state.SelectedTemplateName = entry.text.left(entry.text.size() - numberText(entry.userValue).size() - 2);
    setSelectionEnabled(window, true);
}

void TEMPLATE_EXPAND(TemplateWindow& window, AppState& state) {
    state.TemplateExpand = state.TemplateExpand ? 0 : 1;
    for (TemplateEntry& entry : window.root.children)
        entry.expanded = state.TemplateExpand != 0;
}

void TEMPLATE_DELETE(TemplateWindow& window, AppState& state, Ui& ui) {
    if (!window.deleteEnabled) return;
    const QString& name = state.SelectedTemplateName;
    for (const WorkTemplate& work : state.WorkTemplates) {
        if (state.TemplateNames.value(work.template_) == name) {
            ui.message(QStringLiteral("不能删除正在使用的模板！"), Icon::Information);
            return;
        }
    }
    if (!confirm(ui, QStringLiteral("确信要删除这个模板吗？"), Answer::Cancel)) return;
    const int t = TEMPLATE_FIND(state, name);
    if (t < 0 || !TEMPLATE_REMOVE(state, ui, name)) return;
    // The entry of the template really removed goes, so the tree keeps showing the lists even when two
    // templates share the name and the user selected the second.
    window.root.children.erase(window.root.children.begin() + t);
    removeFromLists(state, t);
    window.selected.reset();
    setSelectionEnabled(window, false);
    window.status = templateCountText(state);
    window.notice.clear();
}

void TEMPLATE_CHOOSE(TemplateWindow& window, AppState& state) {
    if (!window.chooseEnabled) return;
    state.CurrentTemplate = TEMPLATE_FIND(state, state.SelectedTemplateName);
    window.closed = true;
}

void TEMPLATE_CLEAR(TemplateWindow& window, AppState& state, Ui& ui) {
    if (!confirm(ui, QStringLiteral("确信要清除模板吗？"), Answer::Cancel)) return;
    if (!state.WorkTemplates.empty()) {
        ui.message(QStringLiteral("不能清除正在使用的模板！"), Icon::Information);
        return;
    }
    // The file goes first: a library that stayed on disk would come back at the next start.
    if (!backUpLibrary(state, ui)) return;
    for (int t = static_cast<int>(state.Templates.size()) - 1; t >= 0; --t)
        state.History.templateRemoved(t);
    state.Templates.clear();
    state.TemplateNames.clear();
    window.root = {rootEntryText(30), 1, -1, false, {}};
    window.selected.reset();
    setSelectionEnabled(window, false);
    window.status = templateCountText(state);
    window.notice.clear();
}

void templateWindowImport(TemplateWindow& window, AppState& state, Ui& ui) {
    bool saved = false;
    if (TEMPLATE_IMPORT(state, ui, &saved) < 0) return;
    showAdded(window, state, QStringLiteral("已导入"), saved);
}

bool templateWindowAcceptCustom(TemplateWindow& window, CustomEditor& editor, AppState& state, Ui& ui) {
    bool saved = false;
    if (!CUSTOM_ACCEPT(editor, state, ui, &saved)) return false;
    showAdded(window, state, QStringLiteral("已创建"), saved);
    return true;
}

} // namespace zanfold
