#include "platform/CurlLibrary.h"

#include <curl/curl.h>

namespace platform {

CurlLibrary::CurlLibrary()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlLibrary::~CurlLibrary()
{
    curl_global_cleanup();
}

} // namespace platform
