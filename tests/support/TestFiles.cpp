#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

void WriteFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath())) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : MissingFileBytes;
}

QString DataFile(const QString& name)
{
    return QStringLiteral(SMG_TEST_DATA_DIR "/") + name;
}

QByteArray ReadDataFile(const QString& name)
{
    QFile file(DataFile(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing test file " << name.toStdString();
        return QByteArray();
    }
    return file.readAll();
}
