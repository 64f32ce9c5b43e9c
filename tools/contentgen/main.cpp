#include "tools/contentgen/ContentGenerator.h"

#include "engine/base/AppPaths.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

// smg-contentgen --input DIR --tree DIR --program DIR [--base-url URL]
int main(int argc, char** argv)
{
    // Fonts and painting need a GUI application; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the sample content library and the program's resource files."));
    parser.addHelpOption();
    const QCommandLineOption input(QStringLiteral("input"), QStringLiteral("The photos and metafiles to build from."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption tree(QStringLiteral("tree"), QStringLiteral("The content server's tree to write."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption program(QStringLiteral("program"),
                                     QStringLiteral("The program folder for welcome.bki, paint.bki and erase.bki."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption baseUrl(QStringLiteral("base-url"),
                                     QStringLiteral("The server's base address that scene and face names carry."),
                                     QStringLiteral("URL"), QString::fromLatin1(AppPaths::DefaultServerUrl));
    parser.addOptions({input, tree, program, baseUrl});
    parser.process(app);
    if (!parser.isSet(input) || !parser.isSet(tree) || !parser.isSet(program)) {
        std::fprintf(stderr, "smg-contentgen: --input, --tree and --program are required\n");
        return 2;
    }

    ContentGenerator generator({parser.value(input), parser.value(tree), parser.value(program), parser.value(baseUrl)});
    if (!generator.Run()) {
        std::fprintf(stderr, "smg-contentgen: %s\n", qUtf8Printable(generator.ErrorText()));
        return 1;
    }
    const ContentGenerator::Summary& s = generator.Counts();
    std::printf("content: %d scenes, %d faces, %d accessories, %d bubbles, %d thumbnails, %d web pages; %d files, "
                "%lld bytes\n",
                s.scenes, s.faces, s.accessories, s.bubbles, s.thumbnails, s.pages, s.files,
                static_cast<long long>(s.bytes));
    return 0;
}
