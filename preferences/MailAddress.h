#pragma once

#include <QString>

// The syntax check of the addresses a test mail goes to.
namespace MailAddress {

// Checks the syntax of an e-mail address. True with reason ""; else false
// with the first failing check's text in reason ("Too short", "Missing the @",
// "Too many @", "Missing the period", "Invalid format", "Invalid character",
// "Suffix too short", "Suffix too long").
bool IsValidEmail(const QString& address, QString& reason);

} // namespace MailAddress
