#pragma once

#include "tools/contentserver/ContentServer.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// The generated sample library served from a loopback port of its own. The index files name scenes and
// faces by the server's address, so the library is generated for this server's port: a scene chosen in a
// browser downloads from here, never from a server that happens to run on the default port.
class SampleLibrary {
public:
    SampleLibrary();
    ~SampleLibrary();

    bool Running() const { return m_running; }
    QString BaseUrl() const;
    QString Tree() const { return m_dir.filePath(QStringLiteral("tree")); }
    // welcome.bki, paint.bki and erase.bki, as the program folder holds them.
    QString ProgramFiles() const { return m_dir.filePath(QStringLiteral("program")); }
    // Where the sharing service's posts land, one message-NNNN folder each.
    QString Outbox() const { return m_dir.filePath(QStringLiteral("outbox")); }
    ContentServer& Server() { return *m_server; }
    void Stop();
    // Serves the same tree again on the port it had, as a server that comes back after an outage.
    bool Restart();

    // Copies the program folder's resource files into folder.
    bool CopyProgramFiles(const QString& folder) const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ContentServer> m_server;
    bool m_running = false;
};
