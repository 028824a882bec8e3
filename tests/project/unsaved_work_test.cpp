#include "project/unsaved_work.h"

#include "album/album_import.h"
#include "crop/assignment.h"
#include "project/project_file.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

// An imported album of two photos and a work of one template whose first position was then filled, as a
// step of the history: unsaved work.
class UnsavedWork : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override {
        test::setCanvasArea(state);
        for (int i = 1; i <= 2; ++i)
            dir.write(QStringLiteral("album/%1.jpg").arg(i),
                      test::makeJpeg(test::solidImage(400, 300, qRgb(90, 0, 0))));
        ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("album")), true), 1);
        test::addLibraryTemplate(state, QStringLiteral("Three"), {{'A', 3, 1920, 1080, 3}});
        state.History.record(state, QStringLiteral("use"), [&] {
            test::addToWork(state, ui, 0);
            assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
        });
        ui.messages.clear();
    }
};

TEST_F(UnsavedWork, AskedOnlyForAChangedWorkWithTemplates) {
    ASSERT_TRUE(hasUnsavedWork(state));
    ui.answers = {Answer::No};
    EXPECT_TRUE(mayDropWork(state, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    const test::MessageCall asked = ui.lastMessage();
    EXPECT_EQ(asked.text, QStringLiteral("工作尚未保存，是否保存？"));
    EXPECT_EQ(asked.icon, Icon::Question);
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.byDefault, Answer::Cancel); // Return keeps the work

    state.History.markSaved();
    EXPECT_TRUE(mayDropWork(state, ui));
    state.History.undo(state); // changed again, but no template left in the work
    ASSERT_TRUE(state.History.changed());
    ASSERT_TRUE(state.WorkTemplates.empty());
    EXPECT_TRUE(mayDropWork(state, ui));
    EXPECT_EQ(ui.messages.size(), 1u);
}

struct AnswerCase {
    const char* name;
    Answer answer;
    const char* saveAs; // the save dialog's answer; "-" for a folder that cannot exist
    bool goesOn;
    bool saved;
};

class UnsavedAnswers : public UnsavedWork, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(UnsavedAnswers, OnlyASavedOrAbandonedWorkLetsTheCallerGoOn) {
    const AnswerCase c = GetParam();
    // A file stands where the folder should be: no user, root included, can save below it.
    dir.write(QStringLiteral("blocked"), QByteArray("x"));
    QString path = QString::fromUtf8(c.saveAs);
    if (path == QStringLiteral("-"))
        path = dir.file(QStringLiteral("blocked/work.zpj"));
    else if (!path.isEmpty())
        path = dir.file(path);
    ui.answers = {c.answer};
    ui.saveFiles = {path};
    EXPECT_EQ(mayDropWork(state, ui), c.goesOn);
    EXPECT_EQ(!state.History.changed(), c.saved);
    EXPECT_EQ(!path.isEmpty() && QFileInfo::exists(path), c.saved);
    if (QString::fromUtf8(c.saveAs) == QStringLiteral("-")) {
        EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("保存项目出错：")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UnsavedAnswers,
    ::testing::Values(AnswerCase{"No", Answer::No, "", true, false},
                      AnswerCase{"Cancel", Answer::Cancel, "", false, false},
                      AnswerCase{"YesButTheSaveDialogWasCancelled", Answer::Yes, "", false, false},
                      AnswerCase{"YesAndSaved", Answer::Yes, "work.zpj", true, true},
                      AnswerCase{"YesButTheSaveFailed", Answer::Yes, "-", false, false}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST_F(UnsavedWork, OpeningAProjectAsksAfterTheReplaceQuestionAndBeforeTheFile) {
    const QString other = dir.file(QStringLiteral("other.zpj"));
    ui.openFiles = {other};
    ui.answers = {Answer::Ok, Answer::Cancel};
    EXPECT_EQ(OPENPROJ(state, ui), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("确信要替换当前工作吗？"));
    EXPECT_EQ(ui.messages[1].text, unsavedWorkQuestion());
    EXPECT_EQ(ui.openFiles.size(), 1u); // no file was asked for
    EXPECT_EQ(state.WorkTemplates.size(), 1u);
    EXPECT_TRUE(state.History.changed());
}

TEST_F(UnsavedWork, ASavedOrOpenedProjectIsUnchanged) {
    const QString file = dir.file(QStringLiteral("work.zpj"));
    ASSERT_EQ(saveProjectTo(state, ui, file), 1);
    EXPECT_FALSE(state.History.changed());
    AppState opened;
    test::setCanvasArea(opened);
    opened.Templates = state.Templates;
    opened.TemplateNames = state.TemplateNames;
    opened.History.record(opened, QStringLiteral("open"),
                          [&] { ASSERT_EQ(openProjectFrom(opened, ui, file), 1); });
    EXPECT_FALSE(opened.History.changed());
    EXPECT_FALSE(opened.History.canUndo());
}

} // namespace
} // namespace zanfold
