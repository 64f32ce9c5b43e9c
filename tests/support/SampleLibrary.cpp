#include "support/SampleLibrary.h"

#include "tools/contentgen/ContentGenerator.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

SampleLibrary::SampleLibrary()
{
    QDir().mkpath(Tree());  // the tree is mounted only when its folder exists
    m_server = std::make_unique<ContentServer>(ContentServer::Options{Tree(), Outbox(), "127.0.0.1", 0});
    if (m_server->Start() <= 0) {
        ADD_FAILURE() << "the content server could not bind a loopback port";
        return;
    }
    ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), Tree(), ProgramFiles(), BaseUrl()});
    if (!generator.Run()) {
        ADD_FAILURE() << generator.ErrorText().toStdString();
        return;
    }
    m_running = true;
}

SampleLibrary::~SampleLibrary()
{
    Stop();
}

QString SampleLibrary::BaseUrl() const
{
    return QString::fromStdString(m_server->BaseUrl());
}

void SampleLibrary::Stop()
{
    if (m_server)
        m_server->Stop();
    m_running = false;
}

bool SampleLibrary::Restart()
{
    const int port = m_server->Port();
    Stop();
    m_server = std::make_unique<ContentServer>(ContentServer::Options{Tree(), Outbox(), "127.0.0.1", port});
    m_running = m_server->Start() == port;
    return m_running;
}

bool SampleLibrary::CopyProgramFiles(const QString& folder) const
{
    QDir().mkpath(folder);
    for (const char* name : {"welcome.bki", "paint.bki", "erase.bki"}) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        if (!QFile::copy(ProgramFiles() + QLatin1Char('/') + QLatin1String(name), target))
            return false;
    }
    return true;
}
