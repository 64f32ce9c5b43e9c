#pragma once

#include <cstdint>

// Told by the request queue when a request leaves its list, with the status it ended with (done or
// failed). The id may be issued to another request right after, so whoever keeps an id beyond its
// request (the catalogue keeps one per thumbnail) takes the final status here instead of reading the
// status table later.
class RequestListener {
public:
    virtual void OnRequestUnlisted(int32_t id, int status) = 0;

protected:
    ~RequestListener() = default;
};
