#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

// The HTTP transport of keyword research: an invisible window that runs
// asynchronous requests in numbered slots (1 to Connections), each with its
// own HTTP client, time-out timer and start-delay timer, and reports every
// request's end through one event, Completed. It applies the user's proxy
// settings, the start delay and the time-out, cancels all running requests
// on Disconnect, and defers its unload until cancelled requests stopped.
//
// Use: set Connections, Load, set Engine (and AuthToken for "Google"), then
// Connect. Each request ends in exactly one Completed, delivered from the
// event loop, never inside Connect, Disconnect or Unload; so does a Connect
// on a slot that does not exist (10100). A Connect on a slot whose request
// is still running starts nothing and ends that request instead (see
// Connect). To finish, release() the window.
//
// Completed(index, code, data), by code:
//   the reply's status  the reply text (also after a time-out or a cancel
//                       once part of the reply had arrived)
//   10100 CodeConnectError  "" (Connect on a slot that does not exist)
//   10200 CodeTimeOut       "Time out": timed out before any reply
//   10300 CodeCancelled     "Cancelled": cancelled before any reply
//   10400 CodeEmptyReply    "Connection Error: FileData empty": the request
//                           ended without reply text (refused, closed, an
//                           empty body)
// and in the result-file mode (engine "Overture(jp)", "(kr)", "(tw)" or
// "(hk)" with isEnglishWindow false), where the reply is saved to a file:
//   the reply's status  "Results data save in file"
//   10401 CodeResultFileEmpty    "Connection Error: FileData empty"
//   10402 CodeResultFileMissing  "Connection Error: FileData empty. FilePath=<path>"
class frmHTTP : public QObject
{
    Q_OBJECT

public:
    enum Code : qint32 {
        CodeConnectError = 10100,
        CodeTimeOut = 10200,
        CodeCancelled = 10300,
        CodeEmptyReply = 10400,
        CodeResultFileEmpty = 10401,
        CodeResultFileMissing = 10402,
    };

    // Created unloaded: no slots until Load.
    explicit frmHTTP(QObject* parent = nullptr);
    // Running requests are dropped without events; prefer release().
    ~frmHTTP() override;

    // The number of slots; set before Load.
    qint16 Connections() const { return m_Connections; }
    void setConnections(qint16 count) { m_Connections = count; }
    // Only the result-file mode reads it; false unless set.
    bool isEnglishWindow() const { return m_isEnglishWindow; }
    void setIsEnglishWindow(bool english) { m_isEnglishWindow = english; }
    // The access token of the "Google" header set. One holding a line break
    // or NUL is not sent: the request goes without it (logged).
    void setAuthToken(const QString& token) { m_AuthToken = token; }
    // Selects the header set of a POST, by containing (without regard to
    // case): a "MIVA" variant (not "MIVA" itself), "Google", "Yahoo"; any
    // other name posts without header lines. The Google set is
    // "Content-Type: xml/html", "Content-length: <bytes>",
    // "SOAPAction: comment", "Authorization: Bearer <AuthToken>". Bodies go
    // out as UTF-8 and Content-length is their byte length.
    void setEngine(const QString& engine) { m_Engine = engine; }
    // True when requests start through the delay timer; Load sets it when
    // the "TimeDelay" preference is above 0.
    bool TimeDelay() const { return m_TimeDelay; }
    void setTimeDelay(bool delayed) { m_TimeDelay = delayed; }

    // Reads the connection settings, then builds the slots: the user agent
    // from the preferences, the proxy when "AccessType" is 2 and "Proxy" is
    // set (its login only when both user name and password are), the start
    // delay from "TimeDelay" (seconds). With Connections below 1 it builds
    // none. Loading a loaded window does nothing.
    void Load();
    bool isLoaded() const { return m_loaded; }

    // Starts a request on slot index: url ("http://" is put in front when
    // it does not begin with "http"), method ("POST" in any case posts
    // postData, anything else gets), fileName (the result-file mode's file
    // name for a POST), enableTimeout (the "TimeOut" setting, see
    // timeoutIntervalMs). On a slot whose client is still busy it sends
    // nothing: the running request is stopped and ends as timed out.
    void Connect(qint16 index, const QString& url, const QString& method, const QString& postData = QString(),
                 const QString& fileName = QString(), bool enableTimeout = true);
    // Cancels every busy slot; a request not sent yet (start delay) is not
    // sent. Disconnected follows once every cancelled client has stopped.
    void Disconnect();
    // Clears the slot's reply and request body and makes it idle.
    void ResetSocket(qint16 index);
    // Reads "AccessType", "Proxy", "Port", "TimeOut", "Auth_Username" and
    // "Auth_Password" from the preferences key; a value that does not fit
    // is logged and ends the reading (the values before it stay).
    void getSocketSetting();

    // A close request: true when the window unloaded now. Refused (false)
    // while a request runs: the requests are cancelled and the window
    // unloads itself once they stopped.
    bool Unload();
    // The owner lets the window go: no event of it reaches anyone from now
    // on, it unloads (deferred as with Unload) and then deletes itself.
    // Safe inside a Completed handler. Do not use the pointer afterwards.
    void release();

    // The time-out of a request: seconds × 1000 ms, above 62000 ms
    // 60000 ms; 0 or less never times out.
    static int timeoutIntervalMs(qint16 seconds);
    // The start delay of a "TimeDelay" text in seconds: whole milliseconds,
    // at most 60000; 0 for 0, less or no number. (A text above 0 that
    // rounds to 0 ms still delays, by the delay timer's own 300 ms.)
    static int startDelayMs(const QString& seconds);

signals:
    void Completed(qint16 index, qint32 code, const QString& data);
    // Every cancelled slot's client has stopped and no unload was pending.
    void Disconnected();
    // Bytes of the slot's reply received so far and its length (-1 when
    // unknown), at every arrival of a part of it.
    void Progress(qint16 index, qint64 received, qint64 total);

private:
    struct Slot;

    Slot* slotAt(qint16 index) const;
    void ConnectHTTP(qint16 index);
    void onRequestComplete(qint16 index);
    void onTimeoutTick(qint16 index);
    void onCancelTick();
    void report(qint16 index, qint32 status, qint32 emptyCode, const QString& emptyText);
    void reportResultFile(qint16 index, qint32 status);
    void unloadNow();

    qint16 m_Connections = 0;
    bool m_isEnglishWindow = false;
    QString m_AuthToken;
    QString m_Engine;
    bool m_TimeDelay = false;

    bool m_loaded = false;
    bool m_unloadWhenIdle = false;
    bool m_released = false;
    qint16 m_accessType = 1;
    QString m_proxyHost;
    QString m_proxyPort;
    qint16 m_timeOutSeconds = 0;
    QString m_proxyUserName;
    QString m_proxyPassword;

    std::vector<std::unique_ptr<Slot>> m_slots;
    QTimer m_cancelTimer;
};
