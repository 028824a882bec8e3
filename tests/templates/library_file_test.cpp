#include "templates/library_file.h"

#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QLockFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

TemplateRecord weddingRecord() {
    TemplateRecord t;
    t.path = QStringLiteral("D:\\tpl\\wedding\\");
    t.pTypeSum = 2;
    t.count = 15;
    t.spec[0] = {'A', 3, 1920, 1080, 12};
    t.spec[1] = {'B', 3, 1080, 1920, 3};
    return t;
}

const QByteArray kWeddingXml =
    "<Wedding><info path=\"D:\\tpl\\wedding\\\" type=\"\" pTypeSum=\" 2\" count=\" 15\"/>"
    "<photo><A width=\" 1920\" height=\" 1080\" count=\" 12\" flength=\" 3\"/>"
    "<B width=\" 1080\" height=\" 1920\" count=\" 3\" flength=\" 3\"/></photo></Wedding>";

class Library : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override { state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml")); }

    bool add(const QString& name, const TemplateRecord& record) {
        state.Templates.push_back(record);
        state.TemplateNames.append(name);
        return TEMPLATE_SAVE(state, ui);
    }
    QByteArray file() const { return TempDir::read(state.TemplateFile); }
    void writeFile(const QByteArray& bytes) { dir.write(QStringLiteral("zfTemplate.xml"), bytes); }
    AppState reload() {
        AppState fresh;
        fresh.TemplateFile = state.TemplateFile;
        TEMPLATE_LOAD(fresh, ui);
        return fresh;
    }
};

TEST_F(Library, FirstSaveWritesTheWorkedExampleByteForByte) {
    ASSERT_TRUE(add(QStringLiteral("Wedding"), weddingRecord()));
    EXPECT_EQ(file(), "<Templates>" + kWeddingXml + "</Templates>");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Library, RoundTripKeepsOrderAndFields) {
    TemplateRecord chinese = weddingRecord();
    chinese.path = QStringLiteral("/模板/婚礼/");
    chinese.pTypeSum = 1;
    chinese.count = 12;
    ASSERT_TRUE(add(QStringLiteral("Wedding"), weddingRecord()));
    ASSERT_TRUE(add(QStringLiteral("婚礼相册"), chinese));
    ASSERT_TRUE(add(QStringLiteral("Third"), weddingRecord()));
    const AppState loaded = reload();
    EXPECT_EQ(loaded.TemplateNames,
              (QStringList{QStringLiteral("Wedding"), QStringLiteral("婚礼相册"), QStringLiteral("Third")}));
    ASSERT_EQ(loaded.Templates.size(), 3u);
    const TemplateRecord& t = loaded.Templates[1];
    EXPECT_EQ(t.path, QStringLiteral("/模板/婚礼/"));
    EXPECT_EQ(t.pTypeSum, 1);
    EXPECT_EQ(t.count, 12);
    EXPECT_EQ(loaded.Templates[0].spec[1].prefix, 'B');
    EXPECT_EQ(loaded.Templates[0].spec[1].width, 1080);
    EXPECT_EQ(loaded.Templates[0].spec[1].count, 3);
    EXPECT_EQ(loaded.Templates[0].spec[1].flength, 3);
    EXPECT_EQ(TEMPLATE_FIND(loaded, QStringLiteral("婚礼相册")), 1);
    EXPECT_EQ(TEMPLATE_FIND(loaded, QStringLiteral("wedding")), -1); // case matters
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Library, RemoveKeepsTheOthersInOrder) {
    for (const char* name : {"One", "Two", "Three"})
        ASSERT_TRUE(add(QString::fromLatin1(name), weddingRecord()));
    EXPECT_TRUE(TEMPLATE_REMOVE(state, ui, QStringLiteral("Two")));
    EXPECT_EQ(reload().TemplateNames, (QStringList{QStringLiteral("One"), QStringLiteral("Three")}));

    EXPECT_FALSE(TEMPLATE_REMOVE(state, ui, QStringLiteral("Nobody")));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("删除模板出错！ 9"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Error);
}

TEST_F(Library, RemoveFromAnUnreadableFileLetsTheCallerGoOn) {
    writeFile("<Templates><broken>");
    EXPECT_TRUE(TEMPLATE_REMOVE(state, ui, QStringLiteral("broken")));
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("打开模板出错：")));
    EXPECT_EQ(file(), QByteArray("<Templates><broken>"));
}

TEST_F(Library, InvalidTemplatesAreSkippedSilentlyAndStayInTheFile) {
    const QByteArray spec =
        "<photo><A width=\" 1920\" height=\" 1080\" count=\" 12\" flength=\" 3\"/></photo>";
    auto info = [](const char* pTypeSum) {
        return QByteArray("<info path=\"\" type=\"\" pTypeSum=\"") + pTypeSum + "\" count=\" 12\"/>";
    };
    const QByteArray bytes =
        "<Templates>"
        "<TenSpecs>" +
        info(" 10") + spec +
        "</TenSpecs>"
        "<Narrow>" +
        info(" 1") +
        "<photo><A width=\" 99\" height=\" 1080\" count=\" 12\" flength=\" 3\"/></photo></Narrow>"
        "<LongName>" +
        info(" 1") +
        "<photo><A width=\" 1920\" height=\" 1080\" count=\" 12\" flength=\" 11\"/></photo></LongName>"
        "<NotPhoto>" +
        info(" 1") +
        "<photos><A width=\" 1920\" height=\" 1080\" count=\" 12\" flength=\" 3\"/></photos></NotPhoto>"
        "<Reordered><info path=\"\" type=\"\" count=\" 24\" pTypeSum=\" 3\"/>" +
        spec +
        "</Reordered>"
        "<TooFew>" +
        info(" 2") + spec +
        "</TooFew>"
        // A total that is not the sum of the specifications' counts used to overrun the positions of a
        // work, and a huge one to size billions of them.
        "<CountLies><info path=\"\" type=\"\" pTypeSum=\" 1\" count=\" 11\"/>" +
        spec +
        "</CountLies>"
        "<SamePrefix><info path=\"\" type=\"\" pTypeSum=\" 2\" count=\" 24\"/><photo>"
        "<A width=\" 1920\" height=\" 1080\" count=\" 12\" flength=\" 3\"/>"
        "<A width=\" 1080\" height=\" 1920\" count=\" 12\" flength=\" 3\"/></photo></SamePrefix>"
        "<Huge><info path=\"\" type=\"\" pTypeSum=\" 1\" count=\" 2000000000\"/>"
        "<photo><A width=\" 1920\" height=\" 1080\" count=\" 2000000000\" flength=\" 3\"/></photo></Huge>"
        "<Good>" +
        info(" 1") + spec +
        "</Good>"
        "</Templates>";
    writeFile(bytes);
    AppState loaded = reload();
    EXPECT_EQ(loaded.TemplateNames, QStringList{QStringLiteral("Good")});
    EXPECT_TRUE(ui.messages.empty());

    // Appending keeps the skipped ones.
    state = std::move(loaded);
    state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml"));
    ASSERT_TRUE(add(QStringLiteral("New"), weddingRecord()));
    EXPECT_TRUE(file().startsWith(bytes.left(bytes.size() - 12)));
    EXPECT_EQ(reload().TemplateNames, (QStringList{QStringLiteral("Good"), QStringLiteral("New")}));
}

TEST_F(Library, WhitespaceAndNumbersWithoutSpacesAreRead) {
    writeFile("<Templates>\n  <T>\n    <info path=\"/t/\" type=\"x\" pTypeSum=\"1\" count=\"5\"/>\n"
              "    <photo>\n      <C width=\"1000 px\" height=\"  1000\" count=\"5\" flength=\"2\"/>\n    "
              "</photo>\n"
              "  </T>\n</Templates>\n");
    const AppState loaded = reload();
    ASSERT_EQ(loaded.Templates.size(), 1u);
    EXPECT_EQ(loaded.Templates[0].spec[0].width, 1000);
    EXPECT_EQ(loaded.Templates[0].spec[0].height, 1000);
    EXPECT_EQ(loaded.Templates[0].type, QStringLiteral("x"));
}

// A broken entry used to stop the load: every later template, a newly added one too, was lost to the user.
TEST_F(Library, BrokenTemplatesAreNamedAndTheRestStillLoad) {
    writeFile(
        "<Templates><First><info path=\"\" type=\"\" pTypeSum=\" 1\" count=\" 1\"/>"
        "<photo><A width=\" 100\" height=\" 100\" count=\" 1\" flength=\" 1\"/></photo></First>"
        "<Empty/><Later><info path=\"\" type=\"\" pTypeSum=\" 1\" count=\" 1\"/>"
        "<photo><A width=\" 100\" height=\" 100\" count=\" 1\" flength=\" 1\"/></photo></Later></Templates>");
    AppState loaded = reload();
    EXPECT_EQ(loaded.TemplateNames, (QStringList{QStringLiteral("First"), QStringLiteral("Later")}));
    ASSERT_EQ(ui.messages.size(), 1u);
    const QString text = ui.lastMessage().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("打开模板出错： 9\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(dir.file(QStringLiteral("zfTemplate.xml")))));
    EXPECT_TRUE(text.endsWith(QStringLiteral("：\nEmpty")));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Error);

    // A template added to such a library is there when it is read again.
    state = std::move(loaded);
    ASSERT_TRUE(add(QStringLiteral("Added"), weddingRecord()));
    EXPECT_TRUE(reload().TemplateNames.contains(QStringLiteral("Added")));

    writeFile("<Templates><Short><info path=\"\" type=\"\"/><photo/></Short></Templates>");
    EXPECT_TRUE(reload().Templates.empty());
    EXPECT_TRUE(ui.lastMessage().text.endsWith(QStringLiteral("\nShort")));
}

// Another process reads the library, takes a while and writes it back with its template. Without the lock
// our save would read before that write and be overwritten by it, or overwrite it.
TEST_F(Library, SavingWaitsForAnotherWriterAndKeepsBothTemplates) {
    writeFile("<Templates>" + kWeddingXml + "</Templates>");
    std::atomic<bool> holding{false};
    std::thread other([&] {
        QLockFile lock(state.TemplateFile + QStringLiteral(".lock"));
        ASSERT_TRUE(lock.tryLock(0));
        holding = true;
        QByteArray bytes = file();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        bytes.insert(bytes.indexOf("</Templates>"), QByteArray(kWeddingXml).replace("Wedding>", "Other>"));
        writeFile(bytes);
    });
    while (!holding)
        std::this_thread::yield();
    EXPECT_TRUE(add(QStringLiteral("Mine"), weddingRecord()));
    other.join();
    EXPECT_EQ(reload().TemplateNames,
              (QStringList{QStringLiteral("Wedding"), QStringLiteral("Other"), QStringLiteral("Mine")}));
}

// Nesting 200,000 deep used to overflow the stack; the library has four levels.
TEST_F(Library, DeepNestingIsRefusedWhileParsing) {
    const int depth = 200000;
    writeFile(QByteArray("<Templates>") + QByteArray("<a>").repeated(depth) +
              QByteArray("</a>").repeated(depth) + QByteArray("</Templates>"));
    EXPECT_TRUE(reload().Templates.empty());
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("打开模板出错：")));
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("nested deeper")));
}

TEST_F(Library, MissingFileIsAnEmptyLibraryWithoutMessage) {
    EXPECT_TRUE(reload().Templates.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Library, UnparsableFileIsReportedAtLoad) {
    writeFile("<Templates><a></b></Templates>");
    EXPECT_TRUE(reload().Templates.empty());
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("打开模板出错：")));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Error);
}

TEST_F(Library, RejectedFileIsKeptBeforeANewLibraryStarts) {
    writeFile("<Templates><a></b></Templates>");
    ASSERT_TRUE(add(QStringLiteral("Wedding"), weddingRecord()));
    EXPECT_EQ(TempDir::read(state.TemplateFile + QStringLiteral(".bad1")),
              QByteArray("<Templates><a></b></Templates>"));
    EXPECT_EQ(file(), "<Templates>" + kWeddingXml + "</Templates>");
    EXPECT_TRUE(ui.lastMessage().text.contains(state.TemplateFile + QStringLiteral(".bad1")));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);

    writeFile("not xml");
    ASSERT_TRUE(add(QStringLiteral("Again"), weddingRecord()));
    EXPECT_EQ(TempDir::read(state.TemplateFile + QStringLiteral(".bad2")), QByteArray("not xml"));
}

TEST_F(Library, NamesThatCannotBeTagsAreRefused) {
    for (const QString& name : {QStringLiteral("my wedding"), QStringLiteral("2015"), QStringLiteral("a:b"),
                                QStringLiteral("a<b")}) {
        ui.messages.clear();
        EXPECT_FALSE(add(name, weddingRecord())) << name.toStdString();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("保存模板出错：2: 5"));
        EXPECT_EQ(ui.lastMessage().icon, Icon::Error);
    }
    EXPECT_FALSE(QFile::exists(state.TemplateFile));
    // The template stays in memory for this run.
    EXPECT_EQ(state.TemplateNames.size(), 4);
}

TEST_F(Library, WriteFailureIsReportedWithItsReason) {
    state.TemplateFile = dir.file(QStringLiteral("no/such/folder/zfTemplate.xml"));
    EXPECT_FALSE(add(QStringLiteral("Wedding"), weddingRecord()));
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("保存模板出错：2: ")));
    EXPECT_TRUE(ui.lastMessage().text.contains(QDir::toNativeSeparators(state.TemplateFile)));
}

} // namespace
} // namespace zanfold
