// Runs a fuzz target over files and folders of inputs, as ctest does with the committed corpus (the seeds
// and every input that once found a fault); "--write-seeds DIR" writes the seeds.
#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--write-seeds") {
        QDir().mkpath(QString::fromLocal8Bit(argv[2]));
        zanfold::fuzz::writeSeeds(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QStringList files;
        if (QFileInfo(arg).isDir()) {
            const QDir dir(arg);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                files << dir.filePath(name);
        } else {
            files << arg;
        }
        for (const QString& path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   static_cast<size_t>(bytes.size()));
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
