#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace lintora::test {

// A loopback port on which nothing listens at the moment of the call.
int freeLoopbackPort();
// Waits until something accepts connections on 127.0.0.1:port.
bool waitUntilListening(int port, int timeoutMs = 10000);

// A real tinyproxy on a free loopback port, in the foreground, with a generated configuration.
// Its log (on its standard output) shows the request lines it received.
class TinyProxy
{
public:
    TinyProxy();
    ~TinyProxy();
    bool started() const { return m_started; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    QByteArray log(); // everything logged so far

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_log;
    int m_port = 0;
    bool m_started = false;
    QString m_error;
};

// A certificate authority made for one test with the openssl command, a server certificate it
// signed for 127.0.0.1, and "openssl s_server -www" serving with it on a free loopback port.
class TlsServer
{
public:
    TlsServer();
    ~TlsServer();
    bool started() const { return m_started; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.pem")); }
    QString url(const QString& path) const;

private:
    bool openssl(const QStringList& arguments);

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    bool m_started = false;
    QString m_error;
};

} // namespace lintora::test
