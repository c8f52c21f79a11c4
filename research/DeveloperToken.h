#pragma once

#include <QString>

// The fetch of the dealer's built-in developer token from the program's own
// web service. Nothing in the program starts it: keyword research always
// sends its first built-in token.
namespace DeveloperToken {

// Asks the service for the token of g_oRegister's dealer. A reply
// beginning with "100" carries the token after those three characters
// (blanks trimmed): it becomes BuiltInDeveloperToken and the dealer
// settings' token, which are saved. Any other reply is logged
// ("frmRegister_GetGTK_Failed: " and the reply) and changes nothing.
void GetGoogleToken();

// A blocking form POST through the user's connection settings (2 minutes'
// time-out); after a failure or an empty reply it waits 2 seconds and posts
// once more. The reply, or "" when the last attempt failed.
QString PostPage(const QString& url, const QString& body);

} // namespace DeveloperToken
