#include "cli/jobs.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zanfold-cli"));
    return zanfold::runCli(QCoreApplication::arguments());
}
