#pragma once

#include "ScriptedPrompter.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include "core/Globals.h"

#include <QByteArray>
#include <QDir>
#include <QString>

// A working folder for the tests of the main window: every location
// redirected, the folder stored as the "WorkingFolder" preference, an
// accounts file, and campaigns whose Campaign.dat holds a landing-page path
// naming them ("account/campaign"), so an opened campaign shows which it is.
struct WorkingFolderFixture {
    TestEnvironment env;
    ScriptedPrompter prompter;
    QString work;

    // Writes Accounts.dat with accounts unless writeAccounts is false.
    explicit WorkingFolderFixture(const QByteArray& accounts = QByteArray(), bool writeAccounts = true)
    {
        BuildKeyPaths();
        work = env.path(QStringLiteral("work"));
        QDir().mkpath(work);
        g_sWorkingFolder = work;
        testsettings::saveWorkingFolder(work);
        if (writeAccounts)
            TestEnvironment::writeAll(work + QStringLiteral("/Accounts.dat"), accounts);
    }

    QString campaignFolder(const QString& account, const QString& name) const
    {
        return work + QStringLiteral("/Accounts/") + account + QLatin1Char('/') + name;
    }

    void campaign(const QString& account, const QString& name) const
    {
        TestEnvironment::writeAll(campaignFolder(account, name) + QStringLiteral("/Campaign.dat"),
                                  "[LandingPage]\r\nLandingPagePath=" + (account + QLatin1Char('/') + name).toUtf8()
                                      + "\r\n");
    }

    QByteArray campaignFile(const QString& account, const QString& name) const
    {
        return TestEnvironment::readAll(campaignFolder(account, name) + QStringLiteral("/Campaign.dat"));
    }

    QString log() const
    {
        return QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")));
    }
};
