#pragma once

#include <QString>
#include <QStringList>

// What the command line asks at start-up: a new project, or opening the project file it names.
struct CommandLineInfo {
    enum class Shell { FileNew, FileOpen };

    Shell shell = Shell::FileNew;
    QString fileName;

    // The arguments after the program's name. The first one that is not an option ("-...") names the
    // file to open; options are skipped.
    static CommandLineInfo Parse(const QStringList& arguments);
};
