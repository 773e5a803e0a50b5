#pragma once
// A registry file and an install directory in a temporary folder, with
// PELMORA_REGISTRY pointing at the registry file while the fixture lives.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class InstallFixture {
public:
    InstallFixture() : dir_(tempRoot() + QStringLiteral("/install-XXXXXX")) {
        qputenv("PELMORA_REGISTRY", registryPath().toLocal8Bit());
    }
    ~InstallFixture() { qunsetenv("PELMORA_REGISTRY"); }

    QString installDirectory() const { return dir_.path(); }
    QString registryPath() const { return dir_.path() + QStringLiteral("/registry.reg"); }

    // A registry whose install key holds the given value lines.
    void writeRegistry(const QByteArray& valueLines) const {
        write(registryPath(), "Windows Registry Editor Version 5.00\r\n\r\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]\r\n" +
                                  valueLines);
    }

    // A registry naming the fixture's folder as the install directory.
    void writeInstallDirectory() const {
        writeRegistry("\"Directorio\"=\"" + installDirectory().toUtf8() + "\"\r\n");
    }

    void writeServerList(const QByteArray& bytes) const {
        write(dir_.path() + QStringLiteral("/SERVIDORES.cfg"), bytes);
    }

private:
    static QString tempRoot() {
        const QString root = qEnvironmentVariable("PELMORA_TEST_TMP");
        return root.isEmpty() ? QDir::tempPath() : root;
    }

    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

    QTemporaryDir dir_;
};
