// vocell-utility: the Vocell Card Utility on a Linux desktop.

#include <QApplication>
#include <QCommandLineParser>

#include "platform/qt/program/DesktopProgram.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vocell-utility"));
    QApplication::setApplicationVersion(QStringLiteral("1.3.1"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.harlosolvane.VocellUtility"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Backs up, restores, updates and initializes Vocell cards."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption cardFolder(
        QStringLiteral("card-folder"),
        QStringLiteral("Presents the folder DIR as the removable drive E: holding a card (for demonstrations "
                       "and tests)."),
        QStringLiteral("DIR"));
    parser.addOption(cardFolder);
    parser.process(application);

    vocell::qt::ProgramOptions options;
    options.cardFolder = parser.value(cardFolder).toStdString();
    vocell::qt::DesktopProgram program(options);
    return program.Run();
}
