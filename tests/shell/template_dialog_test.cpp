#include "shell/template_dialog.h"

#include "core/commands.h"
#include "shell/custom_dialog.h"
#include "shell/gui_support.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"
#include "templates/library_file.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

QTreeWidgetItem* templateItem(TemplateDialog* d, int row) {
    return d->tree()->topLevelItem(0)->child(row);
}

void clickItem(QTreeWidget* tree, QTreeWidgetItem* item, bool twice = false) {
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// Opens the drop-down of a tool button with a click on its arrow and picks the menu's only entry.
void pickFromArrow(QToolButton* button) {
    QTimer::singleShot(50, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        menu->setActiveAction(menu->actions().front());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 4, button->height() / 2));
}

// Runs `act` once `window` is the modal window on screen again (the template window after the custom
// editor closed), from the event loop it runs then.
void whenBack(QWidget* window, std::function<void()> act) {
    auto* timer = new QTimer(window);
    QObject::connect(timer, &QTimer::timeout, window, [timer, window, act = std::move(act)] {
        if (QApplication::activeModalWidget() != window || !window->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start(5);
}

// The placeholders of a template project folder, one size each.
void writeTemplate(test::TempDir& dir, const QString& name,
                   const std::vector<std::pair<const char*, QSize>>& files) {
    dir.write(name + QStringLiteral("/") + name + QStringLiteral(".aep"), "aep");
    for (const auto& [file, size] : files)
        dir.write(name + QStringLiteral("/照片/") + QString::fromLatin1(file),
                  test::makeJpeg(test::solidImage(size.width(), size.height(), qRgb(90, 90, 90))));
}

// Types the file's path into the file dialog and accepts it.
void chooseFile(QWidget* modal, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog) << modal->metaObject()->className();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(name);
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
}

void answer(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_TRUE(box) << modal->metaObject()->className();
    box->button(which)->click();
}

// The real window over a real library file.
class TemplateWindowGui : public test::LiveWindowTest {
protected:
    void SetUp() override {
        LiveWindowTest::SetUp();
        state->TemplateFile = dir.file(QStringLiteral("zfTemplate.xml"));
    }
    void addLibrary(const QString& name, const std::vector<SpecRecord>& specs) {
        test::addLibraryTemplate(*state, name, specs);
        ASSERT_TRUE(TEMPLATE_SAVE(*state, live->ui));
    }
    QStringList namesInFile() const {
        AppState fresh;
        fresh.TemplateFile = state->TemplateFile;
        TEMPLATE_LOAD(fresh, live->ui);
        return fresh.TemplateNames;
    }
    // Presses a key on the main window and lets `inside` work the template window it opens.
    void openWith(Qt::Key key, const std::function<void(TemplateDialog*)>& inside,
                  const std::function<void(QWidget*)>& others = {}) {
        EXPECT_TRUE(test::pressForDialog<TemplateDialog>(*live, key, inside, others));
    }
    // Opens the custom template editor from the arrow of 增加 (F4) and hands it to `inside`, with the
    // template window it came from.
    void inEditor(const std::function<void(TemplateDialog*, CustomDialog*)>& inside) {
        TemplateDialog* window = nullptr;
        openWith(
            Qt::Key_F4,
            [&](TemplateDialog* d) {
                window = d;
                pickFromArrow(d->button(3026));
            },
            [&](QWidget* modal) {
                auto* editor = qobject_cast<CustomDialog*>(modal);
                ASSERT_TRUE(editor) << modal->metaObject()->className();
                inside(window, editor);
            });
    }
};

TEST_F(TemplateWindowGui, F4ManagesSelectsAndDeletesThroughClicks) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}});
    addLibrary(QStringLiteral("party"), {{'A', 3, 1200, 800, 4}});
    std::vector<QString> questions;
    openWith(
        Qt::Key_F4,
        [&](TemplateDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("模板"));
            EXPECT_EQ(d->size(), QSize(450, 500));
            EXPECT_EQ(d->minimumSize(), QSize(360, 300));
            EXPECT_FALSE(d->model().selectMode);
            EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 2"));
            EXPECT_FALSE(d->button(3027)->isEnabled());
            EXPECT_FALSE(d->button(3028)->isEnabled());
            QTreeWidgetItem* root = d->tree()->topLevelItem(0);
            EXPECT_TRUE(root->isExpanded());
            EXPECT_EQ(templateItem(d, 0)->text(0), QStringLiteral("wedding (15)"));

            // 展开 opens every template; a specification entry then selects its template.
            QTest::mouseClick(d->button(3029), Qt::LeftButton);
            EXPECT_TRUE(d->button(3029)->isChecked());
            EXPECT_TRUE(templateItem(d, 0)->isExpanded());
            EXPECT_TRUE(templateItem(d, 1)->isExpanded());
            clickItem(d->tree(), templateItem(d, 0)->child(1));
            EXPECT_EQ(d->tree()->currentItem(), templateItem(d, 0)->child(1)); // stays where the user is
            EXPECT_EQ(state->SelectedTemplateName, QStringLiteral("wedding"));
            EXPECT_TRUE(d->button(3027)->isEnabled());
            EXPECT_FALSE(d->button(3028)->isEnabled()); // never in management mode

            // The root selects nothing.
            clickItem(d->tree(), root);
            EXPECT_FALSE(d->button(3027)->isEnabled());

            clickItem(d->tree(), templateItem(d, 0));
            QTest::mouseClick(d->button(3027), Qt::LeftButton); // asks; Cancel keeps it
            EXPECT_EQ(root->childCount(), 2);
            QTest::mouseClick(d->button(3027), Qt::LeftButton);
            EXPECT_EQ(root->childCount(), 1);
            EXPECT_EQ(templateItem(d, 0)->text(0), QStringLiteral("party (4)"));
            EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 1"));
            EXPECT_FALSE(d->button(3027)->isEnabled());
            QTest::mouseClick(d->button(3030), Qt::LeftButton);
        },
        [&, n = 0](QWidget* modal) mutable {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            questions.push_back(box->text());
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
            answer(modal, n++ == 0 ? QMessageBox::Cancel : QMessageBox::Ok);
        });
    EXPECT_EQ(questions, (std::vector<QString>(2, QStringLiteral("确信要删除这个模板吗？"))));
    EXPECT_EQ(state->TemplateNames, QStringList{QStringLiteral("party")});
    EXPECT_EQ(namesInFile(), QStringList{QStringLiteral("party")});
    EXPECT_EQ(state->TemplateExpand, 1); // kept for the next opening
    EXPECT_TRUE(state->WorkTemplates.empty());
}

TEST_F(TemplateWindowGui, F6ChoosesATemplateForTheWork) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}});
    addLibrary(QStringLiteral("party"), {{'A', 3, 1200, 800, 4}});
    test::setAlbum(*state, {{1600, 1200}, {1200, 1600}});
    openWith(Qt::Key_F6, [&](TemplateDialog* d) {
        EXPECT_TRUE(d->model().selectMode);
        EXPECT_FALSE(d->button(3028)->isEnabled());
        clickItem(d->tree(), templateItem(d, 1));
        EXPECT_TRUE(d->button(3028)->isEnabled());
        QTest::mouseClick(d->button(3028), Qt::LeftButton);
    });
    ASSERT_EQ(state->WorkTemplates.size(), 1u);
    EXPECT_EQ(state->TemplateNames.value(state->WorkTemplates[0].template_), QStringLiteral("party"));
    EXPECT_EQ(live->window.workTabs()->tabText(0), QStringLiteral("party  "));
    EXPECT_EQ(state->TemplateSelectMode, 0);

    // A double click chooses too; closing by 退出 adds nothing.
    openWith(Qt::Key_F6, [&](TemplateDialog* d) { clickItem(d->tree(), templateItem(d, 0), true); });
    ASSERT_EQ(state->WorkTemplates.size(), 2u);
    EXPECT_EQ(state->TemplateNames.value(state->WorkTemplates[1].template_), QStringLiteral("wedding"));
    openWith(Qt::Key_F6, [&](TemplateDialog* d) {
        clickItem(d->tree(), templateItem(d, 0));
        QTest::mouseClick(d->button(3030), Qt::LeftButton);
    });
    EXPECT_EQ(state->WorkTemplates.size(), 2u);
}

TEST_F(TemplateWindowGui, ImportFromTheAddButtonShowsTheNewEntry) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}});
    const QString aep = dir.write(QStringLiteral("party/party.aep"), "aep");
    const QByteArray jpeg = test::makeJpeg(test::solidImage(1200, 800, qRgb(90, 90, 90)));
    for (const char* name : {"A001.jpg", "A002.jpg", "B001.jpg"})
        dir.write(QStringLiteral("party/照片/") + QString::fromLatin1(name), jpeg);
    TemplateDialog* window = nullptr;
    openWith(
        Qt::Key_F4,
        [&](TemplateDialog* d) {
            window = d;
            QTest::mouseClick(d->button(3026), Qt::LeftButton, {}, QPoint(10, 10));
            ASSERT_EQ(d->tree()->topLevelItem(0)->childCount(), 2);
            EXPECT_EQ(templateItem(d, 1)->text(0), QStringLiteral("party (3)"));
            EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 2"));
            EXPECT_EQ(d->noticeLabel()->text(), QStringLiteral("已导入模板 party：2 种规格，3 张照片"));
            QTest::mouseClick(d->button(3030), Qt::LeftButton);
        },
        [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_TRUE(dialog) << modal->metaObject()->className();
            EXPECT_EQ(dialog->parentWidget(), window); // owned by the template window, in front of it
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择AE工程文件"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_TRUE(name);
            name->setText(aep);
            QTest::keyClick(name, Qt::Key_Return);
        });
    EXPECT_EQ(namesInFile(), (QStringList{QStringLiteral("wedding"), QStringLiteral("party")}));
}

TEST_F(TemplateWindowGui, EmptyLibraryInSelectModeAddsNothing) {
    test::setAlbum(*state, {{1600, 1200}});
    openWith(Qt::Key_F6, [&](TemplateDialog* d) {
        EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 0"));
        clickItem(d->tree(), d->tree()->topLevelItem(0));
        EXPECT_FALSE(d->button(3028)->isEnabled());
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_TRUE(state->WorkTemplates.empty());
    EXPECT_EQ(state->CurrentTemplate, -1);
}

TEST_F(TemplateWindowGui, CustomEditorBuildsATemplateFromTypedInput) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}});
    bool editorSeen = false;
    bool back = false;
    inEditor([&](TemplateDialog* window, CustomDialog* editor) {
        editorSeen = true;
        EXPECT_TRUE(window->isHidden()); // the template window steps aside meanwhile
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("自定义模板"));
        EXPECT_EQ(editor->field(3127)->text(), QStringLiteral("3"));
        EXPECT_FALSE(editor->button(3132)->isEnabled());
        EXPECT_FALSE(editor->button(3133)->isEnabled());
        QLineEdit* width = editor->field(3125);
        QLineEdit* height = editor->field(3126);
        QLineEdit* count = editor->field(3128);
        // Entered portrait first: the list keeps prefix order.
        QTest::keyClicks(width, QStringLiteral("1o8x0"));
        EXPECT_EQ(width->text(), QStringLiteral("180")); // letters never reach a digits box
        width->clear();
        QTest::keyClicks(width, QStringLiteral("1080"));
        QTest::keyClicks(height, QStringLiteral("1920"));
        EXPECT_EQ(editor->prefixBox()->currentText(), QStringLiteral("S"));
        QTest::keyClicks(count, QStringLiteral("-2"));
        EXPECT_EQ(count->text(), QStringLiteral("2"));
        QTest::mouseClick(editor->button(3131), Qt::LeftButton);
        EXPECT_TRUE(width->text().isEmpty());
        EXPECT_EQ(editor->prefixBox()->currentIndex(), -1);
        EXPECT_TRUE(editor->button(3132)->isEnabled());

        QTest::keyClicks(width, QStringLiteral("1920"));
        QTest::keyClicks(height, QStringLiteral("1080"));
        EXPECT_EQ(editor->prefixBox()->currentText(), QStringLiteral("H"));
        QTest::keyClicks(count, QStringLiteral("5"));
        QTest::mouseClick(editor->button(3131), Qt::LeftButton);
        ASSERT_EQ(editor->specList()->count(), 2);
        EXPECT_EQ(editor->specList()->item(0)->text(), QStringLiteral("H： 1920 × 1080 (5)"));

        // Selecting a row shows it in the fields.
        QListWidget* list = editor->specList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(width->text(), QStringLiteral(" 1080"));
        EXPECT_EQ(editor->prefixBox()->currentText(), QStringLiteral("S"));
        EXPECT_TRUE(editor->button(3133)->isEnabled());

        QTest::keyClicks(editor->field(3124), QStringLiteral("Handmade"));
        // Back once the editor closed, with the new template in the tree.
        whenBack(window, [&, window] {
            back = true;
            QTreeWidgetItem* added = templateItem(window, 1);
            ASSERT_TRUE(added);
            EXPECT_EQ(added->text(0), QStringLiteral("Handmade (7)"));
            ASSERT_EQ(added->childCount(), 2);
            EXPECT_EQ(added->child(0)->text(0), QStringLiteral("H： 1920 × 1080 (5)"));
            EXPECT_EQ(added->child(1)->text(0), QStringLiteral("S： 1080 × 1920 (2)"));
            EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("模板数量： 2"));
            QTest::mouseClick(window->button(3030), Qt::LeftButton);
        });
        QTest::mouseClick(editor->button(3134), Qt::LeftButton);
    });
    EXPECT_TRUE(editorSeen);
    EXPECT_TRUE(back);
    EXPECT_EQ(namesInFile(), (QStringList{QStringLiteral("wedding"), QStringLiteral("Handmade")}));
    const TemplateRecord& made = state->Templates.back();
    EXPECT_EQ(made.count, 7);
    EXPECT_EQ(made.spec[0].prefix, 'H');
    EXPECT_TRUE(made.path.isEmpty());
}

TEST_F(TemplateWindowGui, ClearingFromTheDropDownLeavesTheShortRoot) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}});
    openWith(
        Qt::Key_F4,
        [&](TemplateDialog* d) {
            clickItem(d->tree(), templateItem(d, 0)); // 删除 and its arrow are enabled by a selection
            pickFromArrow(d->button(3027));
            QTreeWidgetItem* root = d->tree()->topLevelItem(0);
            EXPECT_EQ(root->text(0), QString(30, QLatin1Char('-')) + QStringLiteral(" 模板列表 ") +
                                         QString(30, QLatin1Char('-')));
            EXPECT_EQ(root->childCount(), 0);
            EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 0"));
            EXPECT_FALSE(d->button(3027)->isEnabled());
            QTest::mouseClick(d->button(3030), Qt::LeftButton);
        },
        [](QWidget* modal) { answer(modal, QMessageBox::Ok); });
    EXPECT_TRUE(state->Templates.empty());
    EXPECT_FALSE(QFile::exists(state->TemplateFile));
    EXPECT_TRUE(QFile::exists(state->TemplateFile + QStringLiteral(".bak")));
}

// However the editor closes, the template window comes back as it was (select mode, the selection) and
// its choice still works; afterwards the main window takes clicks again.
TEST_F(TemplateWindowGui, TheWindowComesBackAfterTheEditorAndTheMainWindowTakesClicks) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}});
    addLibrary(QStringLiteral("party"), {{'A', 3, 1200, 800, 4}});
    test::setAlbum(*state, {{1600, 1200}, {1200, 1600}});
    live->window.refreshStrip();
    enum class Close { Ok, Cancel, Escape };
    for (const Close close : {Close::Ok, Close::Cancel, Close::Escape}) {
        const int library = static_cast<int>(state->Templates.size());
        TemplateDialog* window = nullptr;
        bool back = false;
        QPoint place;
        openWith(
            Qt::Key_F6,
            [&](TemplateDialog* d) {
                window = d;
                d->move(d->pos() + QPoint(13, 7)); // where the user put it
                place = d->pos();
                clickItem(d->tree(), templateItem(d, 1));
                pickFromArrow(d->button(3026));
            },
            [&](QWidget* modal) {
                auto* editor = qobject_cast<CustomDialog*>(modal);
                ASSERT_TRUE(editor) << modal->metaObject()->className();
                EXPECT_TRUE(window->isHidden());
                whenBack(window, [&] {
                    back = true;
                    EXPECT_EQ(window->pos(), place);
                    EXPECT_TRUE(window->model().selectMode);
                    EXPECT_EQ(window->tree()->currentItem(), templateItem(window, 1));
                    EXPECT_TRUE(window->button(3028)->isEnabled());
                    QTest::mouseClick(window->button(3028), Qt::LeftButton); // 选择
                });
                if (close == Close::Ok) {
                    QTest::keyClicks(editor->field(3125), QStringLiteral("1000"));
                    QTest::keyClicks(editor->field(3126), QStringLiteral("1000"));
                    QTest::keyClicks(editor->field(3128), QStringLiteral("2"));
                    QTest::mouseClick(editor->button(3131), Qt::LeftButton);
                    QTest::keyClicks(editor->field(3124), QStringLiteral("Square%1").arg(library));
                    QTest::mouseClick(editor->button(3134), Qt::LeftButton);
                } else if (close == Close::Cancel) {
                    QTest::mouseClick(editor->button(3135), Qt::LeftButton);
                } else {
                    QTest::keyClick(editor, Qt::Key_Escape);
                }
            });
        EXPECT_TRUE(back) << static_cast<int>(close);
        EXPECT_EQ(state->Templates.size(), static_cast<size_t>(library + (close == Close::Ok ? 1 : 0)));
        ASSERT_FALSE(state->WorkTemplates.empty());
        EXPECT_EQ(state->TemplateNames.value(state->WorkTemplates.back().template_), QStringLiteral("party"));
        EXPECT_FALSE(QApplication::activeModalWidget());
        // The main window answers the mouse again.
        state->CurrentPhoto = -1;
        QTest::mouseClick(live->window.stripPanel(), Qt::LeftButton, {}, QPoint(60, 60));
        EXPECT_EQ(state->CurrentPhoto, 0);
    }
}

// Typing in the middle of a number edits it there: the box is not written again under the cursor.
TEST_F(TemplateWindowGui, TypingInTheMiddleOfTheWidthBox) {
    inEditor([&](TemplateDialog* window, CustomDialog* editor) {
        QLineEdit* width = editor->field(3125);
        QTest::keyClicks(width, QStringLiteral("1980"));
        QTest::keyClick(width, Qt::Key_Left);
        QTest::keyClick(width, Qt::Key_Backspace);
        QTest::keyClicks(width, QStringLiteral("2"));
        EXPECT_EQ(width->text(), QStringLiteral("1920"));
        QTest::keyClicks(editor->field(3126), QStringLiteral("1080"));
        EXPECT_EQ(editor->prefixBox()->currentText(), QStringLiteral("H")); // the prefix still follows
        whenBack(window, [window] { QTest::mouseClick(window->button(3030), Qt::LeftButton); });
        QTest::keyClick(editor, Qt::Key_Escape);
    });
}

// Down and Up walk the expanded tree entry by entry; a specification stands for its template.
TEST_F(TemplateWindowGui, TheKeysWalkTheTree) {
    addLibrary(QStringLiteral("wedding"), {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}});
    addLibrary(QStringLiteral("party"), {{'A', 3, 1200, 800, 4}});
    openWith(Qt::Key_F4, [&](TemplateDialog* d) {
        if (!d->button(3029)->isChecked()) QTest::mouseClick(d->button(3029), Qt::LeftButton);
        clickItem(d->tree(), templateItem(d, 0));
        const std::pair<QTreeWidgetItem*, const char*> walk[] = {
            {templateItem(d, 0)->child(0), "wedding"},
            {templateItem(d, 0)->child(1), "wedding"},
            {templateItem(d, 1), "party"},
            {templateItem(d, 1)->child(0), "party"},
        };
        for (const auto& [item, name] : walk) {
            QTest::keyClick(d->tree(), Qt::Key_Down);
            EXPECT_EQ(d->tree()->currentItem(), item) << name;
            EXPECT_EQ(state->SelectedTemplateName, QString::fromLatin1(name));
            EXPECT_TRUE(d->button(3027)->isEnabled());
        }
        QTest::keyClick(d->tree(), Qt::Key_Up);
        EXPECT_EQ(d->tree()->currentItem(), templateItem(d, 1));
        QTest::mouseClick(d->button(3030), Qt::LeftButton);
    });
}

// A template whose placeholders the outputs would not reproduce is refused by name through 增加.
TEST_F(TemplateWindowGui, TheAddButtonRefusesMixedSizesAndGapsByName) {
    writeTemplate(dir, QStringLiteral("mixed"),
                  {{"A001.jpg", {1920, 1080}}, {"A002.jpg", {1080, 1920}}, {"A003.jpg", {1500, 1500}}});
    writeTemplate(dir, QStringLiteral("gap"),
                  {{"A001.jpg", {800, 600}}, {"A002.jpg", {800, 600}}, {"A005.jpg", {800, 600}}});
    const std::pair<const char*, QStringList> cases[] = {
        {"mixed", {QStringLiteral("A002.jpg：1080 × 1920"), QStringLiteral("A003.jpg：1500 × 1500")}},
        {"gap", {QStringLiteral("A005.jpg")}},
    };
    for (const auto& [name, named] : cases) {
        QString refusal;
        openWith(
            Qt::Key_F4,
            [&](TemplateDialog* d) {
                QTest::mouseClick(d->button(3026), Qt::LeftButton, {}, QPoint(10, 10));
                EXPECT_EQ(d->tree()->topLevelItem(0)->childCount(), 0);
                EXPECT_EQ(d->statusLabel()->text(), QStringLiteral("模板数量： 0"));
                QTest::mouseClick(d->button(3030), Qt::LeftButton);
            },
            [&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    refusal = box->text();
                    answer(modal, QMessageBox::Ok);
                    return;
                }
                chooseFile(modal, dir.file(QString::fromLatin1(name) + QLatin1Char('/') +
                                           QString::fromLatin1(name) + QStringLiteral(".aep")));
            });
        for (const QString& part : named)
            EXPECT_TRUE(refusal.contains(part)) << refusal.toStdString();
        EXPECT_TRUE(state->Templates.empty());
    }
    EXPECT_FALSE(QFile::exists(state->TemplateFile));
}

} // namespace
} // namespace zanfold
