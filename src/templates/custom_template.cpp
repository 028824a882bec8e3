#include "templates/custom_template.h"

#include "core/text.h"
#include "templates/library_file.h"
#include "templates/template_import.h"

#include <algorithm>

namespace zanfold {

namespace {

// Text boxes hold digits only; leading blanks are skipped and empty text reads 0.
int fieldNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    return t.left(std::min<qsizetype>(end, 9)).toInt();
}

void sortSpecs(std::vector<SpecRecord>& specs) {
    std::stable_sort(specs.begin(), specs.end(),
                     [](const SpecRecord& a, const SpecRecord& b) { return TYPESORT(a, b) < 0; });
}

} // namespace

int TYPESORT(const SpecRecord& a, const SpecRecord& b) {
    const auto x = static_cast<unsigned char>(a.prefix), y = static_cast<unsigned char>(b.prefix);
    return x < y ? -1 : x > y ? 1 : 0;
}

QString customRowText(const SpecRecord& spec) {
    return QString(QLatin1Char(spec.prefix)) + QStringLiteral("：") + numberText(spec.width) +
           QStringLiteral(" ×") + numberText(spec.height) + QStringLiteral(" (") +
           QString::number(spec.count) + QLatin1Char(')');
}

void CUSTOM_TEXTCHANGE(CustomEditor& editor) {
    const int w = fieldNumber(editor.width), h = fieldNumber(editor.height);
    editor.prefix = h < w ? QStringLiteral("H") : h > w ? QStringLiteral("S") : QStringLiteral("Z");
}

void CUSTOM_INIT(CustomEditor& editor) {
    editor.width.clear();
    editor.height.clear();
    editor.count.clear();
    editor.prefix.clear();
}

void CUSTOM_LISTSELECT(CustomEditor& editor, int row) {
    if (row < 0 || row >= static_cast<int>(editor.specs.size())) return;
    const SpecRecord& s = editor.specs[row];
    editor.selected = row;
    editor.width = numberText(s.width);
    editor.height = numberText(s.height);
    editor.flength = numberText(s.flength);
    editor.count = numberText(s.count);
    editor.prefix = QString(QLatin1Char(s.prefix));
    editor.deleteEnabled = editor.editEnabled = true;
}

bool CHECKNEWSPEC(const CustomEditor& editor, Ui& ui, bool isEdit, SpecRecord& spec) {
    spec.width = fieldNumber(editor.width);
    spec.height = fieldNumber(editor.height);
    spec.flength = fieldNumber(editor.flength);
    spec.count = fieldNumber(editor.count);
    spec.prefix = editor.prefix.isEmpty() ? 0 : editor.prefix.at(0).toLatin1();
    auto refuse = [&](const QString& text) {
        ui.message(text, Icon::Exclamation);
        return false;
    };
    if (spec.width == 0 || spec.height == 0) return refuse(QStringLiteral("宽度或高度不能为 '0'！"));
    if (spec.prefix == 0) return refuse(QStringLiteral("必须选择一个前缀！"));
    for (int i = 0; i < static_cast<int>(editor.specs.size()); ++i) {
        if (editor.specs[i].prefix == spec.prefix && !(isEdit && i == editor.selected))
            return refuse(QStringLiteral("前缀不能重复！"));
    }
    if (spec.flength < 1 || spec.flength > 9) return refuse(QStringLiteral("命名长度只能在'1~9'之间！"));
    if (spec.count == 0) return refuse(QStringLiteral("数量不能为 '0'！"));
    // A size or count the library would not load again is refused now, not lost at the next start.
    TemplateRecord alone;
    alone.pTypeSum = 1;
    alone.count = spec.count;
    alone.spec[0] = spec;
    const QString problem = templateProblem(alone);
    if (!problem.isEmpty()) return refuse(problem + QStringLiteral("！"));
    return true;
}

void CUSTOM_NEWSPEC(CustomEditor& editor, Ui& ui) {
    if (editor.specs.size() >= static_cast<size_t>(kMaxSpecs)) {
        ui.message(QStringLiteral("照片规格不能大于9个"), Icon::Information);
        return;
    }
    SpecRecord spec;
    if (!CHECKNEWSPEC(editor, ui, false, spec)) return;
    editor.specs.push_back(spec);
    editor.total += spec.count;
    sortSpecs(editor.specs);
    // Rows moved: no row stays selected.
    editor.selected = -1;
    editor.deleteEnabled = true;
    CUSTOM_INIT(editor);
}

void CUSTOM_EDITSPEC(CustomEditor& editor, Ui& ui) {
    if (editor.selected < 0) {
        ui.message(QStringLiteral("先选择一个规格！"), Icon::Exclamation);
        return;
    }
    SpecRecord spec;
    if (!CHECKNEWSPEC(editor, ui, true, spec)) return;
    editor.total += spec.count - editor.specs[editor.selected].count;
    editor.specs[editor.selected] = spec;
    sortSpecs(editor.specs);
    // The edited row stays selected at its sorted place (prefixes are unique).
    const auto at = std::find_if(editor.specs.begin(), editor.specs.end(),
                                 [&](const SpecRecord& s) { return s.prefix == spec.prefix; });
    editor.selected = static_cast<int>(at - editor.specs.begin());
}

void CUSTOM_DELSPEC(CustomEditor& editor, Ui& ui) {
    if (editor.selected < 0) {
        ui.message(QStringLiteral("先选择一个规格！"), Icon::Exclamation);
        return;
    }
    if (ui.message(QStringLiteral("确信要删除这个规格吗？"), Icon::Question, Buttons::YesNo, {},
                   Answer::No) != Answer::Yes)
        return;
    editor.total -= editor.specs[editor.selected].count;
    editor.specs.erase(editor.specs.begin() + editor.selected);
    editor.selected = -1;
    CUSTOM_INIT(editor);
    if (editor.specs.empty()) editor.deleteEnabled = editor.editEnabled = false;
}

bool CUSTOM_ACCEPT(CustomEditor& editor, AppState& state, Ui& ui, bool* saved) {
    const QString name = fitText(editor.name, kTemplateNameCapacity);
    if (editor.name.isEmpty()) {
        ui.message(QStringLiteral("请输入模板名称："), Icon::Information);
        return false;
    }
    if (state.TemplateNames.contains(name)) {
        ui.message(duplicateNameText(name), Icon::Information);
        return false;
    }
    if (editor.specs.empty()) {
        ui.message(QStringLiteral("照片规格不能为0！"), Icon::Information);
        return false;
    }
    TemplateRecord record;
    record.pTypeSum = static_cast<int>(editor.specs.size());
    record.count = editor.total;
    std::copy(editor.specs.begin(), editor.specs.end(), record.spec.begin());
    const QString problem = templateProblem(record);
    if (!problem.isEmpty()) {
        ui.message(QStringLiteral("模板不能加入模板库：") + problem, Icon::Information);
        return false;
    }
    state.Templates.push_back(record);
    state.TemplateNames.append(name);
    const bool written = TEMPLATE_SAVE(state, ui);
    if (saved) *saved = written;
    return true;
}

} // namespace zanfold
