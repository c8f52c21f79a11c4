#pragma once

namespace platform {

// libcurl's process-wide set-up and clean-up. Exactly one object lives for
// the whole run, made at the start of main() before any other thread runs.
class CurlLibrary
{
public:
    CurlLibrary();
    ~CurlLibrary();

    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;
};

} // namespace platform
