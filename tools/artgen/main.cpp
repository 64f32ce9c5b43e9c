#include "tools/artgen/ArtGenerator.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

// smg-artgen --out DIR: draws the program's pictures and the resource collection that compiles them in.
int main(int argc, char** argv)
{
    // Fonts and painting need a GUI application; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the program's bitmaps, help tips, cursors and icon."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The folder to write."), QStringLiteral("DIR"));
    parser.addOption(out);
    parser.process(app);
    if (!parser.isSet(out)) {
        std::fprintf(stderr, "smg-artgen: --out is required\n");
        return 2;
    }
    ArtGenerator generator;
    if (!generator.Run(parser.value(out))) {
        std::fprintf(stderr, "smg-artgen: %s\n", qUtf8Printable(generator.ErrorText()));
        return 1;
    }
    return 0;
}
