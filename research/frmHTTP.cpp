#include "research/frmHTTP.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "platform/AtomicFile.h"
#include "platform/HttpClient.h"
#include "research/HttpConnection.h"
#include "settings/clsConnect.h"
#include "settings/clsPreference.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

using platform::HttpClient;

namespace {

enum SlotState : qint32 { Idle = 0, Busy = 1, TimedOut = 2, Cancelled = 3, Finished = 4 };

const QString kTimeOut = QStringLiteral("Time out");
const QString kCancelled = QStringLiteral("Cancelled");
const QString kEmptyReply = QStringLiteral("Connection Error: FileData empty");

constexpr int kCancelCheckMs = 800;
constexpr int kDefaultDelayMs = 300;

// The bid-landscape call of the "MIVA" variants' ad network; its host is
// that network's, only the path is fixed.
const QString kBidLandscapeAction = QStringLiteral("http://api.bid-network.invalid/api/1.0/GetBidLandscape");

// The header lines of a POST for the engine; none for an engine without a set.
QStringList headerLines(const QString& engine, const QString& authToken, qsizetype bodyBytes)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString length = QStringLiteral("Content-length: ") + QString::number(bodyBytes);
    if (engine.contains(QLatin1String("MIVA"), Qt::CaseInsensitive)
        && engine.compare(QLatin1String("MIVA"), Qt::CaseInsensitive) != 0)
        return {QStringLiteral("Content-Type: text/xml") + crlf, length + crlf,
                QStringLiteral("SOAPAction: ") + kBidLandscapeAction};
    if (engine.contains(QLatin1String("Google"), Qt::CaseInsensitive))
        return {QStringLiteral("Content-Type: xml/html") + crlf, length + crlf,
                QStringLiteral("SOAPAction: comment") + crlf,
                QStringLiteral("Authorization: Bearer ") + authToken + crlf};
    if (engine.contains(QLatin1String("Yahoo"), Qt::CaseInsensitive))
        return {QStringLiteral("Content-Type: text/xml"), length, QStringLiteral("SOAPaction: \"\"")};
    return {};
}

// The engines whose replies go to a file: Connect looks for the name inside
// the engine's, the completion for the name itself.
bool isResultFileEngine(const QString& engine, bool exact)
{
    static const char* const names[] = {"Overture(hk)", "Overture(tw)", "Overture(jp)", "Overture(kr)"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* name) {
        const QLatin1String n(name);
        return exact ? engine.compare(n, Qt::CaseInsensitive) == 0 : engine.contains(n, Qt::CaseInsensitive);
    });
}

// Starts a stopped timer; an interval of 0 never fires (it does not mean
// "at once" here).
void enable(QTimer& timer)
{
    if (timer.interval() > 0 && !timer.isActive())
        timer.start();
}

} // namespace

// One request slot: the request record and the slot's client and timers.
// A QObject so that an unload inside one of its own events can let it go later.
struct frmHTTP::Slot : QObject {
    QString URL;
    QString Method;
    QString Data;      // the reply text
    QString PostData;
    QString FilePath;  // the result-file mode's file
    qint32 State = Idle;

    HttpClient http;
    QTimer timeout;
    QTimer delay;
};

frmHTTP::frmHTTP(QObject* parent)
    : QObject(parent)
{
    m_cancelTimer.setInterval(kCancelCheckMs);
    connect(&m_cancelTimer, &QTimer::timeout, this, &frmHTTP::onCancelTick);
}

frmHTTP::~frmHTTP() = default;

int frmHTTP::timeoutIntervalMs(qint16 seconds)
{
    const int ms = int(seconds) * 1000;
    return ms > 62000 ? 60000 : ms;
}

int frmHTTP::startDelayMs(const QString& seconds)
{
    const double value = Conversions::Val(seconds);
    return value > 0 ? int(std::nearbyint(std::min(value * 1000.0, 60000.0))) : 0;
}

void frmHTTP::getSocketSetting()
{
    QString label;
    auto text = [](const char* name, const char* defaultValue) {
        return RegistryAPI::GetRegistryValue(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey,
                                             QString::fromLatin1(name), RegistryAPI::REG_SZ,
                                             QString::fromLatin1(defaultValue))
            .toString();
    };
    // A number rounded half to even into 16 bits; false (logged) when it does not fit.
    auto number = [&](const char* name, const char* defaultValue, qint16& out) {
        const double value = std::nearbyint(Conversions::Val(text(name, defaultValue)));
        if (value < -32768.0 || value > 32767.0) {
            ErrorLog::WriteErrorLog(QStringLiteral("frmHTTP_GetsocketSetting error :  Overflow - ") + label);
            return false;
        }
        out = qint16(value);
        return true;
    };

    m_accessType = 1;
    label = QStringLiteral("log point 1");
    if (!number("AccessType", "1", m_accessType))
        return;
    label = QStringLiteral("log point 2");
    m_proxyHost = text("Proxy", "");
    m_proxyPort = text("Port", "8080");
    if (!number("TimeOut", "30", m_timeOutSeconds))
        return;
    label = QStringLiteral("log point 3");
    m_proxyUserName = text("Auth_Username", "");
    m_proxyPassword = text("Auth_Password", "");
}

void frmHTTP::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    getSocketSetting();
    // Too few connections leave the window without slots; every Connect then fails.
    if (m_Connections < 1)
        return;

    clsPreference preferences;
    preferences.GetSettings();
    if (Conversions::Val(preferences.TimeDelay()) > 0)
        m_TimeDelay = true;
    const int delayMs = startDelayMs(preferences.TimeDelay());
    HttpProperties connection;
    connection.userAgent = preferences.UserAgent();
    setHttpProxy(connection, m_accessType, m_proxyHost, m_proxyPort, m_proxyUserName, m_proxyPassword);

    for (qint16 index = 1; index <= m_Connections; ++index) {
        auto slot = std::make_unique<Slot>();
        applyHttpProperties(slot->http, connection);
        slot->delay.setSingleShot(true);
        slot->delay.setInterval(delayMs > 0 ? delayMs : kDefaultDelayMs);
        connect(&slot->http, &HttpClient::requestCompleted, this, [this, index] { onRequestComplete(index); });
        connect(&slot->http, &HttpClient::progress, this,
                [this, index](qint64 done, qint64 total) { Q_EMIT Progress(index, done, total); });
        connect(&slot->timeout, &QTimer::timeout, this, [this, index] { onTimeoutTick(index); });
        connect(&slot->delay, &QTimer::timeout, this, [this, index] {
            // A request cancelled or timed out while it waited is not sent.
            if (slotAt(index)->State == Busy)
                ConnectHTTP(index);
        });
        m_slots.push_back(std::move(slot));
    }
}

frmHTTP::Slot* frmHTTP::slotAt(qint16 index) const
{
    return index >= 1 && size_t(index) <= m_slots.size() ? m_slots[size_t(index) - 1].get() : nullptr;
}

void frmHTTP::ResetSocket(qint16 index)
{
    if (Slot* slot = slotAt(index)) {
        slot->Data.clear();
        slot->PostData.clear();
        slot->State = Idle;
    }
}

void frmHTTP::Connect(qint16 index, const QString& url, const QString& method, const QString& postData,
                      const QString& fileName, bool enableTimeout)
{
    const QString address = url.startsWith(QLatin1String("http"), Qt::CaseInsensitive)
        ? url : QStringLiteral("http://") + url;
    Slot* slot = slotAt(index);
    if (!slot) {
        ErrorLog::WriteErrorLogLines(
            {QStringLiteral("frmHTTP_Connect_Error: 9 - Subscript out of range"), QStringLiteral("URL: ") + address});
        // Reported later, as every end of a request is: the caller is
        // still inside Connect and may not be ready for it.
        QMetaObject::invokeMethod(
            this, [this, index] { Q_EMIT Completed(index, CodeConnectError, QString()); }, Qt::QueuedConnection);
        return;
    }
    if (slot->http.state() != HttpClient::Idle) {
        enable(slot->timeout);
        slot->State = TimedOut;
        slot->http.abort();
        return;
    }

    ResetSocket(index);
    slot->URL = address;
    slot->Method = method;
    slot->PostData = postData;
    slot->timeout.setInterval(timeoutIntervalMs(m_timeOutSeconds));
    slot->State = Busy;
    if (enableTimeout)
        enable(slot->timeout);
    else
        slot->timeout.stop();
    if (!m_isEnglishWindow && isResultFileEngine(m_Engine, false)) {
        if (method.compare(QLatin1String("POST"), Qt::CaseInsensitive) != 0 && !postData.isEmpty())
            slot->FilePath = postData;
        else if (method.compare(QLatin1String("POST"), Qt::CaseInsensitive) == 0)
            slot->FilePath = g_sWorkingFolder + QStringLiteral("/Results/") + m_Engine + QLatin1Char('/') + fileName
                + QStringLiteral(".xml");
    }
    if (m_TimeDelay)
        enable(slot->delay);
    else
        ConnectHTTP(index);
}

void frmHTTP::ConnectHTTP(qint16 index)
{
    Slot& slot = *slotAt(index);
    slot.http.setUrl(slot.URL);
    slot.http.setTimeout(0);  // the slot's own timer times the request
    if (slot.Method.compare(QLatin1String("POST"), Qt::CaseInsensitive) != 0) {
        slot.http.startGet();
        return;
    }
    const QByteArray body = slot.PostData.toUtf8();
    if (m_Engine.contains(QLatin1String("Google"), Qt::CaseInsensitive) && !HttpClient::isHeaderText(m_AuthToken))
        ErrorLog::WriteErrorLog(QStringLiteral("frmHTTP_ConnectHTTP error:  the access token holds a line break or "
                                                "NUL: the request goes without it"));
    slot.http.startPost(body, headerLines(m_Engine, m_AuthToken, body.size()));
}

void frmHTTP::onRequestComplete(qint16 index)
{
    Slot& slot = *slotAt(index);
    slot.timeout.stop();
    slot.Data = slot.http.replyText();
    const qint32 status = slot.http.statusCode();
    switch (slot.State) {
    case Busy:
        slot.State = Finished;
        if (!m_isEnglishWindow && isResultFileEngine(m_Engine, true))
            reportResultFile(index, status);
        else
            report(index, status, CodeEmptyReply, kEmptyReply);
        break;
    case TimedOut:
        slot.State = Finished;
        report(index, status, CodeTimeOut, kTimeOut);
        break;
    case Cancelled:
        report(index, status, CodeCancelled, kCancelled);
        break;
    default:
        break;
    }
}

void frmHTTP::report(qint16 index, qint32 status, qint32 emptyCode, const QString& emptyText)
{
    const QString data = slotAt(index)->Data;
    if (data.isEmpty())
        Q_EMIT Completed(index, emptyCode, emptyText);
    else
        Q_EMIT Completed(index, status, data);
}

void frmHTTP::reportResultFile(qint16 index, qint32 status)
{
    const Slot& slot = *slotAt(index);
    const QString path = slot.FilePath;
    platform::saveAtomically(path, slot.http.replyBody());
    const QFileInfo file(path);
    if (!file.exists())
        Q_EMIT Completed(index, CodeResultFileMissing, kEmptyReply + QStringLiteral(". FilePath=") + path);
    else if (file.size() == 0)
        Q_EMIT Completed(index, CodeResultFileEmpty, kEmptyReply);
    else
        Q_EMIT Completed(index, status, QStringLiteral("Results data save in file"));
}

void frmHTTP::onTimeoutTick(qint16 index)
{
    Slot& slot = *slotAt(index);
    if (slot.State == Busy) {
        // The abort's completion ends the request; without one (nothing was
        // sent yet) the next tick does.
        slot.State = TimedOut;
        slot.http.abort();
        return;
    }
    slot.timeout.stop();
    if (slot.State == TimedOut) {
        slot.State = Finished;
        Q_EMIT Completed(index, CodeTimeOut, kTimeOut);
    }
}

void frmHTTP::Disconnect()
{
    for (qint16 index = 1; size_t(index) <= m_slots.size(); ++index) {
        Slot& slot = *slotAt(index);
        if (slot.State != Busy)
            continue;
        slot.State = Cancelled;
        if (slot.http.state() != HttpClient::Idle) {
            slot.http.abort();
            continue;
        }
        // Still waiting for its start (the delay tick sends only busy
        // slots): it ends as cancelled.
        QMetaObject::invokeMethod(
            this,
            [this, index] {
                Slot* waiting = slotAt(index);
                if (waiting && waiting->State == Cancelled && waiting->http.state() == HttpClient::Idle) {
                    waiting->timeout.stop();
                    report(index, 0, CodeCancelled, kCancelled);
                }
            },
            Qt::QueuedConnection);
    }
    m_cancelTimer.start();
}

void frmHTTP::onCancelTick()
{
    for (const auto& slot : m_slots) {
        const HttpClient::State state = slot->http.state();
        if (slot->State == Cancelled && state != HttpClient::Idle && state != HttpClient::Aborted)
            return;
    }
    m_cancelTimer.stop();
    if (m_unloadWhenIdle) {
        m_unloadWhenIdle = false;
        unloadNow();
    } else {
        Q_EMIT Disconnected();
    }
}

bool frmHTTP::Unload()
{
    const bool running = std::any_of(m_slots.begin(), m_slots.end(),
                                     [](const std::unique_ptr<Slot>& slot) { return slot->State == Busy; });
    if (running) {
        m_unloadWhenIdle = true;
        Disconnect();
        return false;
    }
    unloadNow();
    return true;
}

void frmHTTP::release()
{
    disconnect(this, nullptr, nullptr, nullptr);
    setParent(nullptr);
    m_released = true;
    Unload();
}

void frmHTTP::unloadNow()
{
    m_cancelTimer.stop();
    // This may run inside an event of a slot's client or timer, so the
    // controls go later; what they still report reaches no one.
    for (std::unique_ptr<Slot>& slot : m_slots) {
        slot->timeout.stop();
        slot->delay.stop();
        disconnect(&slot->http, nullptr, this, nullptr);
        slot.release()->deleteLater();
    }
    m_slots.clear();
    m_loaded = false;
    if (m_released)
        deleteLater();
}
