#pragma once

#include "tools/contentserver/ShareOutbox.h"

#include <httplib.h>

#include <QString>
#include <memory>
#include <thread>

// The loopback content server: publishes a content tree read-only under "/" (a folder's address answers its
// index.html, so "/" is the program's web site when the tree carries one) and answers the sharing
// service's form post ("POST /shareAction.php") by storing the message in an outbox folder.
// Routes that a caller adds through Http() before Start() are answered too (tests add fault routes);
// a file of the tree wins over a route of the same path, and a caller's route on the share path wins
// over the outbox.
class ContentServer {
public:
    struct Options {
        QString root;                       // the content tree
        QString outbox;                     // where posted messages are stored; empty: posts are refused
        std::string host = "127.0.0.1";
        int port = 8468;                    // 0: any free port
        size_t maxRequestBytes = 4u << 20;  // larger requests are refused (413)
    };

    explicit ContentServer(Options options);
    ~ContentServer();
    ContentServer(const ContentServer&) = delete;
    ContentServer& operator=(const ContentServer&) = delete;

    httplib::Server& Http() { return m_http; }

    // Binds and serves on a thread of its own. Returns the port, or -1 when it could not bind.
    int Start();
    // Serves on the calling thread until Stop() (from another thread or a signal watcher).
    bool Run();
    void Stop();

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT/"
    std::string BaseUrl() const;

private:
    void AddShareRoute();
    bool Bind();

    Options m_options;
    httplib::Server m_http;
    std::unique_ptr<ShareOutbox> m_outbox;
    std::thread m_thread;
    int m_port = -1;
};
