#include "templates/library_file.h"

#include "core/records.h"
#include "core/text.h"
#include "imaging/file_utils.h"
#include "templates/xml_tree.h"

#include <QDir>
#include <QFile>

#include <climits>

namespace zanfold {

namespace {

// Error numbers shown when the file does not have the shape the library needs.
constexpr int kErrMissingNode = 9; // an element or attribute that must be there is not
constexpr int kErrInvalidName = 5; // a name that cannot be an element name

const QString kRootName = QStringLiteral("Templates");

constexpr int kMinSpecSide = 100;
constexpr int kMaxSpecSide = 8000;
constexpr int kMaxPositions = 30000;

enum class Loaded { Ok, Missing, Unreadable };

struct LoadResult {
    Loaded status = Loaded::Missing;
    XmlDocument document;
    QString reason;
};

LoadResult loadLibrary(const QString& path) {
    LoadResult result;
    QFile file(path);
    if (!file.exists()) {
        result.reason = QStringLiteral("文件不存在：") + path;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = Loaded::Unreadable;
        result.reason = file.errorString();
        return result;
    }
    if (auto document = parseXml(file.readAll(), &result.reason)) {
        result.status = Loaded::Ok;
        result.document = std::move(*document);
    } else {
        result.status = Loaded::Unreadable;
    }
    return result;
}

// Leading spaces skipped, then the longest run of decimal digits; no digits read as 0.
int readNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), INT_MAX);
    return static_cast<int>(value);
}

char prefixByte(const QString& tag) {
    const auto bytes = toGb18030(tag.left(1));
    return bytes && !bytes->isEmpty() ? bytes->at(0) : 0;
}

QString prefixText(char prefix) {
    return fromGb18030(QByteArray(1, prefix)).value_or(QString(QLatin1Char(prefix)));
}

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

enum class Read { Accepted, Skipped, Broken };

// One template element by position: child 0 is info, child 1 must be photo.
Read readTemplate(const XmlElement& element, TemplateRecord& record) {
    if (element.children.empty() || element.children[0].attributes.size() < 4) return Read::Broken;
    const auto& info = element.children[0].attributes;
    record.path = fitText(info[0].second, kPathCapacity);
    record.type = fitText(info[1].second, kTypeCapacity);
    record.pTypeSum = readNumber(info[2].second);
    record.count = readNumber(info[3].second);
    if (!inRange(record.pTypeSum, 1, kMaxSpecs)) return Read::Skipped;
    if (element.children.size() < 2) return Read::Broken;
    const XmlElement& photo = element.children[1];
    if (photo.name != QStringLiteral("photo")) return Read::Skipped;
    // A library written by this program has exactly pTypeSum specification elements; anything else
    // would leave specifications without sizes.
    if (static_cast<int>(photo.children.size()) != record.pTypeSum) return Read::Skipped;
    for (int j = 0; j < record.pTypeSum; ++j) {
        const XmlElement& e = photo.children[j];
        if (e.attributes.size() < 4) return Read::Broken;
        SpecRecord& spec = record.spec[j];
        spec.prefix = prefixByte(e.name);
        spec.width = readNumber(e.attributes[0].second);
        spec.height = readNumber(e.attributes[1].second);
        spec.count = readNumber(e.attributes[2].second);
        spec.flength = readNumber(e.attributes[3].second);
    }
    return templateProblem(record).isEmpty() ? Read::Accepted : Read::Skipped;
}

std::optional<XmlElement> buildTemplate(const QString& name, const TemplateRecord& t) {
    if (!isXmlName(name)) return std::nullopt;
    XmlElement element{name, {}, {}};
    XmlElement info{QStringLiteral("info"), {}, {}};
    info.attributes = {{QStringLiteral("path"), t.path},
                       {QStringLiteral("type"), t.type},
                       {QStringLiteral("pTypeSum"), numberText(t.pTypeSum)},
                       {QStringLiteral("count"), numberText(t.count)}};
    XmlElement photo{QStringLiteral("photo"), {}, {}};
    for (int j = 0; j < t.pTypeSum && j < kMaxSpecs; ++j) {
        const SpecRecord& s = t.spec[j];
        const QString tag = prefixText(s.prefix);
        if (!isXmlName(tag)) return std::nullopt;
        photo.children.push_back({tag,
                                  {{QStringLiteral("width"), numberText(s.width)},
                                   {QStringLiteral("height"), numberText(s.height)},
                                   {QStringLiteral("count"), numberText(s.count)},
                                   {QStringLiteral("flength"), numberText(s.flength)}},
                                  {}});
    }
    element.children.push_back(std::move(info));
    element.children.push_back(std::move(photo));
    return element;
}

// The first name "zfTemplate.xml.badN" that is free.
QString freeBadName(const QString& path) {
    for (int n = 1;; ++n) {
        const QString candidate = path + QStringLiteral(".bad%1").arg(n);
        if (!QFile::exists(candidate)) return candidate;
    }
}

QString saveError(const QString& number, const QString& reason = {}) {
    QString text = QStringLiteral("保存模板出错：2:") + number;
    if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
    return text;
}

} // namespace

QString templateProblem(const TemplateRecord& t) {
    if (!inRange(t.pTypeSum, 1, kMaxSpecs))
        return QStringLiteral("照片规格的数量（%1）不在 1 到 %2 之间").arg(t.pTypeSum).arg(kMaxSpecs);
    int positions = 0;
    for (int j = 0; j < t.pTypeSum; ++j) {
        const SpecRecord& s = t.spec[j];
        const QString prefix = prefixText(s.prefix);
        if (!inRange(s.width, kMinSpecSide, kMaxSpecSide) || !inRange(s.height, kMinSpecSide, kMaxSpecSide))
            return QStringLiteral("照片规格 %1 的尺寸 %2×%3 不在 %4 到 %5 像素之间")
                .arg(prefix)
                .arg(s.width)
                .arg(s.height)
                .arg(kMinSpecSide)
                .arg(kMaxSpecSide);
        if (!inRange(s.count, 1, kMaxPositions))
            return QStringLiteral("照片规格 %1 的照片数量（%2）不在 1 到 %3 之间")
                .arg(prefix)
                .arg(s.count)
                .arg(kMaxPositions);
        if (!inRange(s.flength, 1, 10))
            return QStringLiteral("照片规格 %1 的命名长度（%2）不在 1 到 10 之间").arg(prefix).arg(s.flength);
        // Two specifications of one prefix would name two positions alike, and one output file would
        // silently replace the other.
        for (int k = 0; k < j; ++k)
            if (t.spec[k].prefix == s.prefix) return QStringLiteral("照片规格的前缀 %1 重复").arg(prefix);
        positions += s.count;
    }
    // The positions of a work are laid out by the specifications' counts and addressed by the total.
    if (t.count != positions)
        return QStringLiteral("模板的照片总数（%1）不等于各规格照片数量之和（%2）")
            .arg(t.count)
            .arg(positions);
    if (!inRange(t.count, 1, kMaxPositions))
        return QStringLiteral("模板的照片总数（%1）不在 1 到 %2 之间").arg(t.count).arg(kMaxPositions);
    return {};
}

void TEMPLATE_LOAD(AppState& state, Ui& ui) {
    state.Templates.clear();
    state.TemplateNames.clear();
    if (!AFXFILEEXISTS(state.TemplateFile)) return;
    const LoadResult loaded = loadLibrary(state.TemplateFile);
    if (loaded.status != Loaded::Ok) {
        ui.message(QStringLiteral("打开模板出错：") + loaded.reason, Icon::Error);
        return;
    }
    // A template missing an element or attribute is named and passed over; stopping there would hide every
    // later template, a newly added one too.
    QStringList broken;
    for (const XmlElement& element : loaded.document.root.children) {
        TemplateRecord record;
        const Read read = readTemplate(element, record);
        if (read == Read::Broken) broken << element.name;
        if (read != Read::Accepted) continue;
        state.Templates.push_back(record);
        state.TemplateNames.append(fitText(element.name, kTemplateNameCapacity));
    }
    if (!broken.isEmpty())
        ui.message(QStringLiteral("打开模板出错：") + numberText(kErrMissingNode) +
                       QStringLiteral("\n模板库 %1 中这些模板缺少必需的元素或属性，未能读取：\n")
                           .arg(QDir::toNativeSeparators(state.TemplateFile)) +
                       nameList(broken),
                   Icon::Error);
}

bool TEMPLATE_SAVE(AppState& state, Ui& ui) {
    if (state.Templates.empty()) return false;
    const int t = static_cast<int>(state.Templates.size()) - 1;
    // Read, change and write back under the lock: another run adding a template meanwhile would be lost.
    const FileLock lock(state.TemplateFile);
    if (lock.error().failed()) {
        ui.message(saveError(numberText(lock.error().code), lock.error().description), Icon::Error);
        return false;
    }
    LoadResult loaded = loadLibrary(state.TemplateFile);
    XmlDocument document =
        loaded.status == Loaded::Ok ? std::move(loaded.document) : XmlDocument{{kRootName, {}, {}}};
    if (loaded.status == Loaded::Unreadable && AFXFILEEXISTS(state.TemplateFile)) {
        // Never overwrite a library we could not read: the user's templates may still be recoverable.
        const QString kept = freeBadName(state.TemplateFile);
        if (!QFile::rename(state.TemplateFile, kept)) {
            ui.message(QStringLiteral("保存模板出错：1:") + loaded.reason, Icon::Error);
            return false;
        }
        ui.message(QStringLiteral("模板库文件无法读取：") + loaded.reason +
                       QStringLiteral("\n\n原文件已保留为：") + kept + QStringLiteral("\n将新建模板库。"),
                   Icon::Warning);
    }
    const std::optional<XmlElement> element = buildTemplate(state.TemplateNames.value(t), state.Templates[t]);
    if (!element) {
        ui.message(saveError(numberText(kErrInvalidName)), Icon::Error);
        return false;
    }
    document.root.children.push_back(*element);
    const FileError written = writeFileAtomically(state.TemplateFile, writeXml(document));
    if (written.failed()) {
        ui.message(saveError(numberText(written.code), written.description + QLatin1Char('\n') +
                                                           QDir::toNativeSeparators(state.TemplateFile)),
                   Icon::Error);
        return false;
    }
    return true;
}

bool TEMPLATE_REMOVE(AppState& state, Ui& ui, const QString& name) {
    const FileLock lock(state.TemplateFile);
    if (lock.error().failed()) {
        ui.message(errorText(QStringLiteral("删除模板出错！"), lock.error()), Icon::Error);
        return false;
    }
    LoadResult loaded = loadLibrary(state.TemplateFile);
    if (loaded.status != Loaded::Ok) {
        ui.message(QStringLiteral("打开模板出错：") + loaded.reason, Icon::Error);
        return true;
    }
    XmlElement& root = loaded.document.root;
    auto& children = root.children;
    const auto found =
        std::find_if(children.begin(), children.end(), [&](const XmlElement& e) { return e.name == name; });
    if (root.name != kRootName || found == children.end()) {
        ui.message(QStringLiteral("删除模板出错！") + numberText(kErrMissingNode), Icon::Error);
        return false;
    }
    children.erase(found);
    const FileError written = writeFileAtomically(state.TemplateFile, writeXml(loaded.document));
    if (written.failed()) {
        ui.message(errorText(QStringLiteral("删除模板出错！"), written), Icon::Error);
        return false;
    }
    return true;
}

bool backUpLibrary(AppState& state, Ui& ui) {
    const QString& path = state.TemplateFile;
    const FileLock lock(path);
    if (lock.error().failed()) {
        ui.message(errorText(QStringLiteral("清除模板出错！"), lock.error()), Icon::Error);
        return false;
    }
    if (!QFile::exists(path)) return true;
    ZF_BAKFILE(path);
    // An earlier clearing left its backup: keep both rather than leave the library in place.
    for (int n = 2; QFile::exists(path) && n < 1000; ++n) {
        const QString backup = path + QStringLiteral(".bak%1").arg(n);
        if (!QFile::exists(backup)) QFile::rename(path, backup);
    }
    if (!QFile::exists(path)) return true;
    ui.message(QStringLiteral("清除模板出错！\n模板库文件无法改名为备份：") + QDir::toNativeSeparators(path),
               Icon::Error);
    return false;
}

int TEMPLATE_FIND(const AppState& state, const QString& name) {
    return static_cast<int>(state.TemplateNames.indexOf(name));
}

} // namespace zanfold
