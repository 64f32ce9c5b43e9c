#include "tools/contentserver/ContentServer.h"

#include <QDir>

#include <algorithm>
#include <chrono>

namespace {

// The form post's text fields in the order the program sends them.
ShareOutbox::Message MessageFromRequest(const httplib::Request& request)
{
    ShareOutbox::Message message;
    for (const auto& [name, part] : request.files) {
        if (name == "userfile") {
            message.pictureFileName = part.filename;
            message.pictureBytes = part.content;
            continue;
        }
        message.fields.emplace(name, part.content);
    }
    static const char* const order[] = {"nameFrom", "mailFrom", "text",    "friend1", "friend2",       "friend3",
                                        "friend4",  "friend5",  "friend6", "friend7", "friend8",
                                        "MAX_FILE_SIZE", "Submit"};
    for (const char* name : order) {
        const auto it = message.fields.find(name);
        if (it != message.fields.end())
            message.orderedFields.emplace_back(name, it->second);
    }
    for (const auto& [name, value] : message.fields) {
        if (std::find(std::begin(order), std::end(order), name) == std::end(order))
            message.orderedFields.emplace_back(name, value);
    }
    return message;
}

} // namespace

ContentServer::ContentServer(Options options) : m_options(std::move(options))
{
    const std::string root = QDir(m_options.root).absolutePath().toStdString();
    // The library's mount point refuses paths that leave the tree and answers GET and HEAD only.
    m_http.set_mount_point("/", root);
    m_http.set_file_extension_and_mimetype_mapping("emf", "image/emf");
    m_http.set_file_extension_and_mimetype_mapping("bki", "application/octet-stream");
    m_http.set_file_extension_and_mimetype_mapping("txt", "text/plain");
    // The program's web site (its home page, which the mount point answers for "/", and its help page):
    // UTF-8 pages with JPEG and PNG pictures.
    m_http.set_file_extension_and_mimetype_mapping("html", "text/html; charset=utf-8");
    m_http.set_file_extension_and_mimetype_mapping("jpg", "image/jpeg");
    m_http.set_file_extension_and_mimetype_mapping("png", "image/png");
    // The library's default lets a second server share a port that one already serves (SO_REUSEPORT),
    // and the kernel would then split the requests between them; reusing an address that only waits
    // out its closed connections is all a restart needs.
    m_http.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    m_http.set_payload_max_length(m_options.maxRequestBytes);
    m_http.set_read_timeout(10, 0);
    m_http.set_write_timeout(10, 0);
    m_http.set_keep_alive_max_count(1000);
    // Without it the header and body writes of a response wait on the client's delayed ACK: 40 ms a file.
    m_http.set_tcp_nodelay(true);

    if (!m_options.outbox.isEmpty())
        m_outbox = std::make_unique<ShareOutbox>(m_options.outbox);
}

ContentServer::~ContentServer()
{
    Stop();
}

void ContentServer::AddShareRoute()
{
    m_http.Post("/shareAction.php", [this](const httplib::Request& request, httplib::Response& response) {
        std::string answer = "2 no outbox";
        if (!request.is_multipart_form_data())
            answer = "1 not a form post";
        else if (m_outbox)
            answer = m_outbox->Accept(MessageFromRequest(request));
        response.set_content(answer, "text/plain");
    });
}

bool ContentServer::Bind()
{
    // Added last, so that a route a caller added for the same path (a test's) is the one that answers.
    AddShareRoute();
    if (m_options.port == 0) {
        m_port = m_http.bind_to_any_port(m_options.host);
    } else {
        m_port = m_http.bind_to_port(m_options.host, m_options.port) ? m_options.port : -1;
    }
    return m_port > 0;
}

int ContentServer::Start()
{
    if (!Bind())
        return -1;
    m_thread = std::thread([this] { m_http.listen_after_bind(); });
    // Connections queue on the bound socket already; waiting for the accept loop keeps a Stop() that
    // follows at once from missing it.
    while (!m_http.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_port;
}

bool ContentServer::Run()
{
    return Bind() && m_http.listen_after_bind();
}

void ContentServer::Stop()
{
    m_http.stop();
    if (m_thread.joinable())
        m_thread.join();
}

std::string ContentServer::BaseUrl() const
{
    return "http://" + m_options.host + ":" + std::to_string(m_port) + "/";
}
