#include "shell/CommandLineInfo.h"

CommandLineInfo CommandLineInfo::Parse(const QStringList& arguments)
{
    CommandLineInfo info;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        info.shell = Shell::FileOpen;
        info.fileName = argument;
        break;
    }
    return info;
}
