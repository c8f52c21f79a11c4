#pragma once

#include <QString>

namespace platform {

// Keeps credentials out of every shown or logged SMTP dialogue. From an
// outgoing AUTH command up to the server's first reply that is not a 334
// challenge, every line is replaced by "<hidden>"; the AUTH command itself
// keeps its mechanism but loses an initial response ("AUTH PLAIN <hidden>").
// Feed it every line of one dialogue, in order.
class SmtpLogRedactor
{
public:
    static constexpr const char* kHidden = "<hidden>";

    // A line the client sent (or logs as sent).
    QString command(const QString& line);
    // A line the server sent.
    QString reply(const QString& line);

private:
    bool m_hiding = false;
};

} // namespace platform
