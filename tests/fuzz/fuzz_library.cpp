// Template libraries: load, take each template into a work, save a new template, load again.
#include "crop/assignment.h"
#include "crop/work_templates.h"
#include "fuzz/fuzz_support.h"
#include "support/recording_ui.h"
#include "templates/library_file.h"

#include <QFile>

namespace zanfold::fuzz {

void writeSeeds(const QString& folder) {
    AppState state;
    setUpWork(state);
    test::RecordingUi ui; // answers OK and Yes, cancels dialogs
    state.TemplateFile = folder + QStringLiteral("/library.xml");
    QFile::remove(state.TemplateFile);
    const std::vector<TemplateRecord> templates = state.Templates;
    const QStringList names = state.TemplateNames;
    state.Templates.clear();
    state.TemplateNames.clear();
    // Written one template at a time, as the program adds them.
    for (size_t t = 0; t < templates.size(); ++t) {
        state.Templates.push_back(templates[t]);
        state.TemplateNames.append(names[static_cast<int>(t)]);
        TEMPLATE_SAVE(state, ui);
    }
}

} // namespace zanfold::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zanfold;
    using namespace zanfold::fuzz;
    AppState state;
    setUpWork(state);
    test::RecordingUi ui; // answers OK and Yes, cancels dialogs
    state.TemplateFile = writeInput(QStringLiteral("zfTemplate.xml"), data, size);
    TEMPLATE_LOAD(state, ui);
    // A few templates into the work: enough to reach every path, few enough to stay fast.
    for (int t = 0; t < static_cast<int>(state.Templates.size()) && t < 3; ++t) {
        state.CurrentTemplate = t;
        CLIP_ADDTEMPLATE(state, ui);
    }
    if (!checkInvariants(state).isEmpty()) broken("a loaded template breaks the work's invariants");
    TemplateRecord added;
    added.pTypeSum = 1;
    added.count = 2;
    added.spec[0] = {'Z', 2, 300, 200, 2};
    state.Templates.push_back(added);
    state.TemplateNames.append(QStringLiteral("FuzzAdded"));
    const int before = static_cast<int>(state.TemplateNames.size());
    if (!TEMPLATE_SAVE(state, ui)) return 0;
    AppState reloaded;
    reloaded.TemplateFile = state.TemplateFile;
    TEMPLATE_LOAD(reloaded, ui);
    if (!reloaded.TemplateNames.contains(QStringLiteral("FuzzAdded")) &&
        reloaded.TemplateNames.size() + 1 >= before)
        broken("a saved template is not in the library read back");
    return 0;
}
