#pragma once

#include "tools/contentserver/ContentServer.h"

#include <QString>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The content server on a free loopback port, with the fault routes the download tests need:
//   /fault/404, /fault/500, /fault/399        answer with that status
//   /fault/stall                              headers with Content-Length 1000, 100 bytes, then nothing
//   /fault/stall-chunked                      the same without a length
//   /fault/stall-headers                      nothing at all until released
//   /fault/gzip                               GzipText() compressed, with Content-Encoding: gzip
//   /fault/zip                                ZipBytes() as application/zip
//   /fault/chunked                            ChunkedText() without a length
//   /fault/short                              100 bytes of an announced 1000, then the connection closes
//   /fault/many-headers                       ZipBytes() as application/zip after about 100 KB of other headers
//   /fault/empty                              an empty body
//   /fault/record                             records the request's headers
//   /gate/N                                   answers "gate N" once gate N is opened
// Stalled answers wait until ReleaseStalls (the destructor releases them too).
class LoopbackServer {
public:
    explicit LoopbackServer(const QString& root);
    ~LoopbackServer();

    std::string Url(const std::string& relative) const { return m_server.BaseUrl() + relative; }
    QString Address(const std::string& relative) const { return QString::fromStdString(Url(relative)); }

    void ReleaseStalls();
    void OpenGate(int gate);
    // Answers that wait right now (stalls and closed gates).
    int Waiting() const;
    // Waits until that many answers wait; false after ten seconds.
    bool WaitForWaiting(int count) const;
    std::vector<httplib::Headers> Recorded() const;

    static std::string GzipText();
    static std::string ZipBytes();
    static std::string ChunkedText();
    static constexpr size_t StallLength = 1000;
    static constexpr size_t StallSent = 100;
    static constexpr int ManyHeadersCount = 100;
    static constexpr size_t ManyHeadersLength = 1000;

private:
    void AddRoutes();
    // Blocks until released or the gate opens (gate -1: a stall).
    void Wait(int gate);

    ContentServer m_server;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    bool m_released = false;
    std::set<int> m_openGates;
    int m_waiting = 0;
    std::vector<httplib::Headers> m_recorded;
};
