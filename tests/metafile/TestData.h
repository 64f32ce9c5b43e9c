#pragma once

#include <QString>

inline QString TestDataPath(const QString& name)
{
    return QStringLiteral(SMG_TEST_DATA_DIR "/") + name;
}
