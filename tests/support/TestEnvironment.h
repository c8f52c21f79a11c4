#pragma once

#include <QString>
#include <QTemporaryDir>

// Points every location of the program (program folder, registry hives,
// system folder, XDG folders, HOME) at a fresh temporary folder for the
// lifetime of the object, so a test never touches real user files.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    QString root() const { return m_dir.path(); }
    QString programDir() const;
    QString registryDir() const;
    QString windowsDir() const;
    QString path(const QString& relative) const;

    // Helpers for fixtures.
    static QByteArray readAll(const QString& path);
    static bool writeAll(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
};
