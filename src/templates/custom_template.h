#pragma once

#include "core/app_state.h"
#include "core/records.h"
#include "core/ui.h"

#include <QString>

#include <vector>

namespace zanfold {

// What the custom template dialog holds: its text boxes as typed, the specifications entered so far
// (always in prefix order) and the list's selection. The dialog's widgets only mirror this.
struct CustomEditor {
    QString name;
    QString width;
    QString height;
    QString prefix; // "A" .. "Z", empty when none is chosen
    QString flength = QStringLiteral("3");
    QString count;
    std::vector<SpecRecord> specs; // CustomSpecs
    int total = 0;                 // CustomTotal
    int selected = -1;             // selected row, 0-based
    bool deleteEnabled = false;
    bool editEnabled = false;
};

// -1, 0 or 1 as a's prefix sorts before, with or after b's.
int TYPESORT(const SpecRecord& a, const SpecRecord& b);

// The list row of a specification: "H： 1920 × 1080 (12)".
QString customRowText(const SpecRecord& spec);

// Proposes a prefix from the typed size: H landscape, S portrait, Z square.
void CUSTOM_TEXTCHANGE(CustomEditor& editor);
// Clears width, height, count and the prefix; the naming length stays.
void CUSTOM_INIT(CustomEditor& editor);
// Shows row `row` in the fields and enables delete and modify.
void CUSTOM_LISTSELECT(CustomEditor& editor, int row);
// Validates the fields into `spec`; shows the first problem and returns false.
bool CHECKNEWSPEC(const CustomEditor& editor, Ui& ui, bool isEdit, SpecRecord& spec);
void CUSTOM_NEWSPEC(CustomEditor& editor, Ui& ui);
void CUSTOM_EDITSPEC(CustomEditor& editor, Ui& ui);
void CUSTOM_DELSPEC(CustomEditor& editor, Ui& ui);
// Creates the template (lists and library file). True when the dialog may close; `saved` tells whether the
// library file took it too.
bool CUSTOM_ACCEPT(CustomEditor& editor, AppState& state, Ui& ui, bool* saved = nullptr);

} // namespace zanfold
