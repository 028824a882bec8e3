#include "cli/jobs.h"

#include "album/album_import.h"
#include "album/thumb_cache.h"
#include "allocation/allocation.h"
#include "cli/console.h"
#include "cli/console_ui.h"
#include "cli/sample.h"
#include "core/app_state.h"
#include "core/worker_pool.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "output/batch_crop.h"
#include "project/project_file.h"
#include "settings/settings_store.h"
#include "templates/library_file.h"
#include "templates/template_import.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace zanfold {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void out(const QString& text) {
    writeText(stdout, text + QLatin1Char('\n'));
}
void err(const QString& text) {
    writeText(stderr, text + QLatin1Char('\n'));
}

const char* kUsage =
    "usage: zanfold-cli COMMAND [OPTIONS]\n"
    "  demo [DIR]                       write the built-in sample into DIR (./zanfold-demo) and crop it\n"
    "  crop --album DIR --template NAME  crop an album for one or more library templates\n"
    "  render PROJECT.zpj               reopen a saved project and crop it\n"
    "  import-template PATH.aep         add a template project folder to the library\n"
    "  templates                        list the library\n"
    "Every command takes --help.";

// The options shared by the commands that run a work.
struct Common {
    QCommandLineOption library{QStringLiteral("library"), QStringLiteral("template library file"),
                               QStringLiteral("FILE")};
    QCommandLineOption settings{QStringLiteral("settings"), QStringLiteral("settings file"),
                                QStringLiteral("FILE")};
    QCommandLineOption jobs{QStringLiteral("jobs"), QStringLiteral("workers (default: one per core)"),
                            QStringLiteral("N")};
    QCommandLineOption timings{QStringLiteral("timings"),
                               QStringLiteral("print a machine-readable timing line")};
    // What every command that loads the library and settings takes.
    QList<QCommandLineOption> session() const { return {library, settings, jobs}; }
};

struct Session {
    AppState state;
    ConsoleUi ui;
};

// The files and workers a command works with.
struct SessionFiles {
    QString library;
    QString settings;
    int jobs = 0; // 0: one per core
};

// --jobs, 0 when not given; nullopt (with a message) when it is not a whole number from 1 on.
std::optional<int> jobsOption(const QCommandLineParser& parser, const Common& c) {
    if (!parser.isSet(c.jobs)) return 0;
    bool ok = false;
    const int jobs = parser.value(c.jobs).toInt(&ok);
    if (ok && jobs >= 1) return jobs;
    err(QStringLiteral("--jobs takes a whole number from 1 on"));
    return std::nullopt;
}

// The files the options name, or those of the data folder; nullopt for a bad --jobs.
std::optional<SessionFiles> sessionFiles(const QCommandLineParser& parser, const Common& c) {
    const std::optional<int> jobs = jobsOption(parser, c);
    if (!jobs) return std::nullopt;
    const QString data = dataFolder(QCoreApplication::applicationDirPath());
    return SessionFiles{
        parser.isSet(c.library) ? parser.value(c.library) : data + QStringLiteral("/zfTemplate.xml"),
        parser.isSet(c.settings) ? parser.value(c.settings) : data + QStringLiteral("/Zanfold.ini"), *jobs};
}

// State as the desktop program has it after start-up, with the given files.
void startSession(Session& s, const SessionFiles& files) {
    s.state.AppTitle = QStringLiteral("Zanfold2015");
    INITDATA(s.state);
    s.state.TemplateFile = files.library;
    loadOptionsFrom(s.state, files.settings);
    // There is no desktop to open the output folder in; messages are printed anyway.
    s.state.settings.OpenFolder = 0;
    s.state.JobCount = files.jobs;
    s.ui.stopOnSignals(s.state.CancelRequested);
    s.state.ThumbCacheFile = ThumbCache::defaultFile();
    TEMPLATE_LOAD(s.state, s.ui);
}

// Parses the options and starts the session; false (after a message) on a bad option value.
bool startSession(Session& s, const QCommandLineParser& parser, const Common& c) {
    const std::optional<SessionFiles> files = sessionFiles(parser, c);
    if (!files) return false;
    startSession(s, *files);
    return true;
}

// Parses the command's own arguments, `positionals` of them without an option (-1: any number); prints
// the help or the error. 0 to go on, -1 when the help was shown, else the exit status.
int parse(QCommandLineParser& parser, const QStringList& arguments, const QString& description,
          int positionals = -1) {
    parser.setApplicationDescription(description);
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments)) {
        err(parser.errorText());
        err(parser.helpText());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        out(parser.helpText());
        return -1;
    }
    if (positionals >= 0 && parser.positionalArguments().size() != positionals) {
        err(parser.helpText());
        return kExitUsage;
    }
    return 0;
}

// Crops the work and prints where the files went. The exit status.
int cropWork(Session& s, bool timings, qint64 importMs) {
    QElapsedTimer timer;
    timer.start();
    int files = 0;
    const int ok = CLIP_BEGIN(s.state, s.ui, &files);
    const qint64 cropMs = timer.elapsed();
    if (timings)
        out(QStringLiteral("timing import_ms=%1 crop_ms=%2 photos=%3 files=%4")
                .arg(importMs)
                .arg(cropMs)
                .arg(s.state.Photos.size())
                .arg(files));
    if (!ok) {
        err(QStringLiteral("裁图没有完成：见上面的信息。"));
        return kExitFailed;
    }
    out(QStringLiteral("已写入 %1 个文件，用时 %2 秒：").arg(files).arg(cropMs / 1000.0, 0, 'f', 3));
    for (int w = 0; w < static_cast<int>(s.state.WorkTemplates.size()); ++w)
        out(QStringLiteral("  ") + QDir::toNativeSeparators(templateFolder(s.state, w, true)));
    return 0;
}

bool addTemplates(Session& s, const QStringList& names) {
    for (const QString& name : names) {
        const int t = TEMPLATE_FIND(s.state, name);
        if (t < 0) {
            err(QStringLiteral("模板不存在：") + name + QStringLiteral("（") +
                QDir::toNativeSeparators(s.state.TemplateFile) + QStringLiteral("）"));
            return false;
        }
        s.state.CurrentTemplate = t;
        CLIP_ADDTEMPLATE(s.state, s.ui);
    }
    return true;
}

int commandCrop(const QStringList& arguments) {
    QCommandLineParser parser;
    Common c;
    const QCommandLineOption album(QStringLiteral("album"), QStringLiteral("album folder"),
                                   QStringLiteral("DIR"));
    const QCommandLineOption tpl(QStringLiteral("template"), QStringLiteral("library template (repeatable)"),
                                 QStringLiteral("NAME"));
    const QCommandLineOption outDir(QStringLiteral("out"),
                                    QStringLiteral("output folder (default: under the album)"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption project(QStringLiteral("project"),
                                     QStringLiteral("also save the work as a project file"),
                                     QStringLiteral("FILE"));
    parser.addOptions(QList<QCommandLineOption>{album, tpl, outDir, project, c.timings} + c.session());
    if (const int rc = parse(
            parser, arguments,
            QStringLiteral("Crops an album for library templates, allocating photos as the settings say.")))
        return rc < 0 ? 0 : rc;
    if (!parser.isSet(album) || !parser.isSet(tpl)) {
        err(QStringLiteral("crop needs --album and at least one --template"));
        err(parser.helpText());
        return kExitUsage;
    }
    Session s;
    if (!startSession(s, parser, c)) return kExitUsage;
    if (parser.isSet(outDir)) {
        s.state.settings.UseOutFolder = 1;
        s.state.settings.OutFolder =
            QDir::fromNativeSeparators(QFileInfo(parser.value(outDir)).absoluteFilePath());
    }
    QElapsedTimer timer;
    timer.start();
    if (!ALBUM_OPEN(s.state, s.ui,
                    QDir::fromNativeSeparators(QFileInfo(parser.value(album)).absoluteFilePath()), true)) {
        if (s.state.CancelRequested.requested()) err(importCancelledText());
        return kExitFailed;
    }
    const qint64 importMs = timer.elapsed();
    if (!addTemplates(s, parser.values(tpl))) return kExitFailed;
    ALLOT_PHOTOS(s.state, s.ui, false);
    const int rc = cropWork(s, parser.isSet(c.timings), importMs);
    if (parser.isSet(project) &&
        !saveProjectTo(s.state, s.ui, QFileInfo(parser.value(project)).absoluteFilePath()))
        return kExitFailed;
    return rc;
}

int commandRender(const QStringList& arguments) {
    QCommandLineParser parser;
    Common c;
    parser.addOptions(QList<QCommandLineOption>{c.timings} + c.session());
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("project file (*.zpj)"));
    if (const int rc = parse(parser, arguments, QStringLiteral("Reopens a saved project and crops it."), 1))
        return rc < 0 ? 0 : rc;
    Session s;
    if (!startSession(s, parser, c)) return kExitUsage;
    QElapsedTimer timer;
    timer.start();
    if (!openProjectFrom(s.state, s.ui, QFileInfo(parser.positionalArguments().front()).absoluteFilePath())) {
        if (s.state.CancelRequested.requested()) err(importCancelledText());
        return kExitFailed;
    }
    return cropWork(s, parser.isSet(c.timings), timer.elapsed());
}

int commandImportTemplate(const QStringList& arguments) {
    QCommandLineParser parser;
    Common c;
    parser.addOptions(c.session());
    parser.addPositionalArgument(QStringLiteral("aep"),
                                 QStringLiteral("template project file (*.aep) beside its 照片 folder"));
    if (const int rc =
            parse(parser, arguments, QStringLiteral("Adds a template project folder to the library."), 1))
        return rc < 0 ? 0 : rc;
    Session s;
    if (!startSession(s, parser, c)) return kExitUsage;
    const int problemsBefore = s.ui.problems();
    const int t = importTemplate(
        s.state, s.ui,
        QDir::fromNativeSeparators(QFileInfo(parser.positionalArguments().front()).absoluteFilePath()));
    if (t < 0 || s.ui.problems() > problemsBefore) return kExitFailed;
    out(QStringLiteral("已添加模板：") + s.state.TemplateNames[t]);
    return 0;
}

int commandTemplates(const QStringList& arguments) {
    QCommandLineParser parser;
    Common c;
    parser.addOptions(c.session());
    if (const int rc = parse(parser, arguments, QStringLiteral("Lists the template library.")))
        return rc < 0 ? 0 : rc;
    Session s;
    if (!startSession(s, parser, c)) return kExitUsage;
    for (int t = 0; t < static_cast<int>(s.state.Templates.size()); ++t) {
        const TemplateRecord& r = s.state.Templates[t];
        QString specs;
        for (int j = 0; j < r.pTypeSum; ++j)
            specs += specTabText(r.spec[j]).trimmed() + QLatin1Char(' ');
        out(s.state.TemplateNames[t] + QStringLiteral("\t") + QString::number(r.count) +
            QStringLiteral("\t") + specs.trimmed());
    }
    // A library that could not be read whole has been reported: the list above is not all of it.
    return s.ui.problems() > 0 ? kExitFailed : 0;
}

int commandDemo(const QStringList& arguments) {
    QCommandLineParser parser;
    Common c;
    parser.addOptions({c.jobs, c.timings});
    parser.addPositionalArgument(QStringLiteral("dir"),
                                 QStringLiteral("where the sample goes (default ./zanfold-demo)"));
    if (const int rc = parse(parser, arguments,
                             QStringLiteral("Writes the built-in sample album and template and crops them.")))
        return rc < 0 ? 0 : rc;
    const QString folder = QDir::fromNativeSeparators(
        QFileInfo(parser.positionalArguments().value(0, QStringLiteral("zanfold-demo"))).absoluteFilePath());
    out(QStringLiteral("样例写入：") + QDir::toNativeSeparators(folder));
    const std::optional<int> jobs = jobsOption(parser, c);
    if (!jobs) return kExitUsage;
    QString error;
    const Sample sample = writeSample(folder, *jobs > 0 ? *jobs : workerCount(), &error);
    if (sample.album.isEmpty()) {
        err(error);
        return kExitFailed;
    }
    Session s;
    startSession(
        s, {folder + QStringLiteral("/zfTemplate.xml"), folder + QStringLiteral("/Zanfold.ini"), *jobs});
    // The sample allocates by orientation and gives the leftovers to empty positions.
    s.state.settings.LockType = 1;
    s.state.settings.SurplusPhoto = 1;
    s.state.settings.FinishAsk = 0;
    const QString templateName = QFileInfo(sample.projectFile).completeBaseName();
    if (TEMPLATE_FIND(s.state, templateName) < 0 && importTemplate(s.state, s.ui, sample.projectFile) < 0)
        return kExitFailed;
    QElapsedTimer timer;
    timer.start();
    if (!ALBUM_OPEN(s.state, s.ui, sample.album, true)) return kExitFailed;
    const qint64 importMs = timer.elapsed();
    out(QStringLiteral("导入相册：%1 张照片，用时 %2 秒")
            .arg(s.state.Photos.size())
            .arg(importMs / 1000.0, 0, 'f', 3));
    if (!addTemplates(s, {templateName})) return kExitFailed;
    ALLOT_PHOTOS(s.state, s.ui, false);
    const int rc = cropWork(s, parser.isSet(c.timings), importMs);
    const QString project = folder + QLatin1Char('/') + proposedProjectName(s.state) + QStringLiteral(".zpj");
    if (!saveProjectTo(s.state, s.ui, project)) return kExitFailed;
    out(QStringLiteral("项目文件：") + QDir::toNativeSeparators(project));
    return rc;
}

} // namespace

int runCli(const QStringList& arguments) {
    const QString command = arguments.value(1);
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.value(0) + QLatin1Char(' ') + command);
    if (command == QStringLiteral("demo")) return commandDemo(rest);
    if (command == QStringLiteral("crop")) return commandCrop(rest);
    if (command == QStringLiteral("render")) return commandRender(rest);
    if (command == QStringLiteral("import-template")) return commandImportTemplate(rest);
    if (command == QStringLiteral("templates")) return commandTemplates(rest);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") ||
        command == QStringLiteral("help")) {
        out(QString::fromLatin1(kUsage));
        return 0;
    }
    err(QString::fromLatin1(kUsage));
    return kExitUsage;
}

} // namespace zanfold
