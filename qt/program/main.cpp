// vocell-utility: the Vocell Card Utility on a Linux desktop.

#include <QApplication>
#include <QCommandLineParser>

#include "common/Version.h"
#include "qt/program/DesktopProgram.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vocell-utility"));
    QApplication::setApplicationVersion(QStringLiteral(VOCELL_VERSION));
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
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral(
            "Writes a picture of the main dialog as it opens to FILE (PNG) and ends, for showing the "
            "program where there is no display."),
        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(application);

    vocell::qt::ProgramOptions options;
    options.cardFolder = parser.value(cardFolder).toStdString();
    vocell::qt::DesktopProgram program(options);
    if (!parser.isSet(screenshot)) return program.Run();
    if (!program.Start()) return 1;
    program.window().show();
    QCoreApplication::processEvents();
    return program.window().grab().save(parser.value(screenshot)) ? 0 : 1;
}
