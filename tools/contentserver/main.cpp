#include "tools/contentserver/ContentServer.h"

#include <QDir>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <string>

// smg-content-server --root DIR [--port N] [--outbox DIR]
//
// Serves the content tree on 127.0.0.1 until SIGINT or SIGTERM. Both signals are blocked in every
// thread and taken by sigwait on the main thread, so no work runs inside a signal handler.
namespace {

constexpr int DefaultPort = 8468;

enum ExitCode { ExitStopped = 0, ExitCannotServe = 1, ExitUsage = 2 };

int Usage(const char* problem)
{
    std::fprintf(stderr, "smg-content-server: %s\nusage: smg-content-server --root DIR [--port N] [--outbox DIR]\n",
                 problem);
    return ExitUsage;
}

bool ParsePort(const char* text, int& port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    ContentServer::Options options;
    options.port = DefaultPort;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return Usage(("missing value after " + name).c_str());
        const char* value = argv[++i];
        if (name == "--root")
            options.root = QString::fromLocal8Bit(value);
        else if (name == "--outbox")
            options.outbox = QString::fromLocal8Bit(value);
        else if (name == "--port") {
            if (!ParsePort(value, options.port))
                return Usage("--port takes a number from 0 to 65535");
        } else
            return Usage(("unknown option " + name).c_str());
    }
    if (options.root.isEmpty())
        return Usage("--root is required");
    if (!QDir(options.root).exists())
        return Usage(("no such folder: " + options.root.toStdString()).c_str());

    // A shell starts background jobs with SIGINT ignored, and an ignored signal is dropped even while
    // blocked: the default disposition comes back first so that sigwait sees it. Blocked before the
    // server makes its threads, which inherit the mask.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the server

    ContentServer server(options);
    if (server.Start() < 0) {
        std::fprintf(stderr, "smg-content-server: cannot listen on 127.0.0.1:%d\n", options.port);
        return ExitCannotServe;
    }
    std::printf("listening on %s\n", server.BaseUrl().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    return ExitStopped;
}
