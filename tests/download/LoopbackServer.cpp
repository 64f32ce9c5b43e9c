#include "tests/download/LoopbackServer.h"

#include <QDir>
#include <zlib.h>

#include <chrono>

namespace {

constexpr int NoGate = -1;
constexpr auto WaitingTimeout = std::chrono::seconds(10);

std::string Gzip(const std::string& text)
{
    z_stream stream{};
    constexpr int GzipWindowBits = 15 + 16;
    constexpr int MemoryLevel = 8;
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, GzipWindowBits, MemoryLevel, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, text.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string Bytes(size_t count, char fill)
{
    return std::string(count, fill);
}

} // namespace

LoopbackServer::LoopbackServer(const QString& root)
    : m_server([&] {
          QDir().mkpath(root);  // the tree is mounted only when its folder exists
          ContentServer::Options options;
          options.root = root;
          options.port = 0;
          return options;
      }())
{
    AddRoutes();
    m_server.Start();
}

LoopbackServer::~LoopbackServer()
{
    ReleaseStalls();
    m_server.Stop();
}

std::string LoopbackServer::GzipText()
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + " of the decoded text\n";
    return text;
}

std::string LoopbackServer::ZipBytes()
{
    return std::string("PK\x03\x04\x14\x00\x00\x00\x08\x00zipped\x00\xff\x1f\x8b", 22);
}

std::string LoopbackServer::ChunkedText()
{
    return "first chunk|second chunk|third chunk";
}

void LoopbackServer::ReleaseStalls()
{
    {
        std::lock_guard guard(m_lock);
        m_released = true;
    }
    m_changed.notify_all();
}

void LoopbackServer::OpenGate(int gate)
{
    {
        std::lock_guard guard(m_lock);
        m_openGates.insert(gate);
    }
    m_changed.notify_all();
}

int LoopbackServer::Waiting() const
{
    std::lock_guard guard(m_lock);
    return m_waiting;
}

bool LoopbackServer::WaitForWaiting(int count) const
{
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, WaitingTimeout, [&] { return m_waiting >= count; });
}

std::vector<httplib::Headers> LoopbackServer::Recorded() const
{
    std::lock_guard guard(m_lock);
    return m_recorded;
}

void LoopbackServer::Wait(int gate)
{
    std::unique_lock guard(m_lock);
    ++m_waiting;
    m_changed.notify_all();
    m_changed.wait(guard, [&] { return m_released || (gate != NoGate && m_openGates.count(gate) > 0); });
    --m_waiting;
}

void LoopbackServer::AddRoutes()
{
    httplib::Server& http = m_server.Http();
    for (int status : {399, 404, 500}) {
        http.Get("/fault/" + std::to_string(status), [status](const httplib::Request&, httplib::Response& response) {
            response.status = status;
            response.set_content("status " + std::to_string(status), "application/octet-stream");
        });
    }
    http.Get("/fault/stall", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(StallLength, "application/octet-stream",
                                      [this](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0)
                                              return sink.write(Bytes(StallSent, 's').data(), StallSent);
                                          Wait(NoGate);
                                          return false;
                                      });
    });
    http.Get("/fault/stall-chunked", [this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [this](size_t offset, httplib::DataSink& sink) {
                                                  if (offset == 0)
                                                      return sink.write(Bytes(StallSent, 'c').data(), StallSent);
                                                  Wait(NoGate);
                                                  return false;
                                              });
    });
    http.Get("/fault/stall-headers", [this](const httplib::Request&, httplib::Response& response) {
        Wait(NoGate);
        response.set_content("late", "application/octet-stream");
    });
    http.Get("/fault/gzip", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Encoding", "gzip");
        response.set_content(Gzip(GzipText()), "application/octet-stream");
    });
    http.Get("/fault/zip", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(ZipBytes(), "application/zip");
    });
    http.Get("/fault/chunked", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [](size_t offset, httplib::DataSink& sink) {
                                                  const std::string text = ChunkedText();
                                                  const size_t piece = text.find('|', offset);
                                                  const size_t end = piece == std::string::npos ? text.size() : piece + 1;
                                                  sink.write(text.data() + offset, end - offset);
                                                  if (end == text.size())
                                                      sink.done();
                                                  return true;
                                              });
    });
    http.Get("/fault/short", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(StallLength, "application/octet-stream",
                                      [](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0)
                                              return sink.write(Bytes(StallSent, 'p').data(), StallSent);
                                          return false;  // the connection closes short of the length
                                      });
    });
    http.Get("/fault/many-headers", [](const httplib::Request&, httplib::Response& response) {
        // Sorted before Content-Type: the media type comes after ManyHeadersBytes of other headers.
        for (int i = 0; i < ManyHeadersCount; ++i)
            response.set_header("A-Filler-" + std::to_string(1000 + i), Bytes(ManyHeadersLength, 'h'));
        response.set_content(ZipBytes(), "application/zip");
    });
    http.Get("/fault/empty", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("", "application/octet-stream");
    });
    http.Get("/fault/record", [this](const httplib::Request& request, httplib::Response& response) {
        {
            std::lock_guard guard(m_lock);
            m_recorded.push_back(request.headers);
        }
        response.set_content("recorded", "application/octet-stream");
    });
    http.Get(R"(/gate/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
        const int gate = std::stoi(request.matches[1].str());
        Wait(gate);
        response.set_content("gate " + std::to_string(gate), "application/octet-stream");
    });
}
