#include "TestProcesses.h"

#include <QFile>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lintora::test {

int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

namespace {

bool acceptsConnections(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

void stop(QProcess& process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

bool waitUntilListening(int port, int timeoutMs)
{
    return QTest::qWaitFor([port] { return acceptsConnections(port); }, timeoutMs);
}

TinyProxy::TinyProxy()
{
    m_port = freeLoopbackPort();
    QByteArray config = "Port " + QByteArray::number(m_port) +
                        "\nListen 127.0.0.1\nTimeout 30\nMaxClients 50\nAllow 127.0.0.1\nLogLevel Connect\n";
    // tinyproxy refuses to keep root rights; it drops them after binding its port.
    if (::geteuid() == 0)
        config += "User nobody\nGroup nogroup\n";
    const QString configPath = m_dir.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        m_error = QStringLiteral("cannot write the tinyproxy configuration");
        return;
    }
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("tinyproxy"), {QStringLiteral("-d"), QStringLiteral("-c"), configPath});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("tinyproxy does not start: ") + m_process.errorString();
        return;
    }
    m_started = waitUntilListening(m_port);
    if (!m_started)
        m_error = QStringLiteral("tinyproxy does not listen: ") + QString::fromUtf8(log());
}

TinyProxy::~TinyProxy()
{
    stop(m_process);
}

QByteArray TinyProxy::log()
{
    m_process.waitForReadyRead(0);
    m_log += m_process.readAll();
    return m_log;
}

TlsServer::TlsServer()
{
    const QString curve = QStringLiteral("ec_paramgen_curve:prime256v1");
    QFile extensions(m_dir.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n") < 0) {
        m_error = QStringLiteral("cannot write the certificate extensions");
        return;
    }
    extensions.close();
    const bool certificates =
        openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout", "ca.key", "-out",
                 "ca.pem", "-days", "2", "-subj", "/CN=LintoraDesk Test CA"}) &&
        openssl({"req", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout", "server.key", "-out",
                 "server.csr", "-subj", "/CN=127.0.0.1"}) &&
        openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                 "-out", "server.pem", "-days", "2", "-extfile", "server.ext"});
    if (!certificates)
        return;

    m_port = freeLoopbackPort();
    m_process.setWorkingDirectory(m_dir.path());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("openssl"),
                    {"s_server", "-www", "-quiet", "-accept", QStringLiteral("127.0.0.1:%1").arg(m_port),
                     "-cert", "server.pem", "-key", "server.key"});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("openssl s_server does not start");
        return;
    }
    m_started = waitUntilListening(m_port);
    if (!m_started)
        m_error =
            QStringLiteral("openssl s_server does not listen: ") + QString::fromUtf8(m_process.readAll());
}

TlsServer::~TlsServer()
{
    stop(m_process);
}

QString TlsServer::url(const QString& path) const
{
    return QStringLiteral("https://127.0.0.1:%1%2").arg(m_port).arg(path);
}

bool TlsServer::openssl(const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = QStringLiteral("openssl %1 failed: %2")
                      .arg(arguments.value(0), QString::fromUtf8(process.readAll()));
        return false;
    }
    return true;
}

} // namespace lintora::test
