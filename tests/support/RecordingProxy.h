#pragma once

// Needs smg_contentserver.
#include "tools/contentserver/ContentServer.h"

#include <QTemporaryDir>
#include <mutex>
#include <string>
#include <vector>

// A stand-in for the user's HTTP proxy on a free loopback port. A proxy is asked for absolute addresses
// ("POST http://host/path"); this one writes down each request line it gets and answers "0" to every
// one (the share service's "accepted"), whatever the host.
class RecordingProxy {
public:
    RecordingProxy() : m_server({m_root.path(), QString(), "127.0.0.1", 0})
    {
        const auto record = [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard guard(m_lock);
                m_requests.push_back(request.method + ' ' + request.target);
            }
            response.set_content("0", "text/plain");
            // Closed after each answer: a connection kept open would hold up the proxy's stop.
            response.set_header("Connection", "close");
        };
        // Only an absolute address reaches these: a plain path would have begun with "/".
        m_server.Http().Get("http://.*", record);
        m_server.Http().Post("http://.*", record);
        m_server.Start();
    }

    // For http_proxy: "http://127.0.0.1:PORT/".
    QByteArray Address() const { return QByteArray::fromStdString(m_server.BaseUrl()); }
    std::vector<std::string> Requests() const
    {
        std::lock_guard guard(m_lock);
        return m_requests;
    }

private:
    QTemporaryDir m_root;  // an empty tree: nothing is served as a file
    ContentServer m_server;
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
};
