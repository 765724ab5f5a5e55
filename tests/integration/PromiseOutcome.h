#pragma once

#include <kvapi/kvapi.h>

#include <string>

namespace promisetest {

// What a promise ended with: its state, the camera's status code and the error text.
struct Outcome {
    kv::IPromise::Status status = kv::IPromise::InvalidFuture;
    kv::EStatusCode code = kv::InvalidStatus;
    std::string error;
};

// Waits for the promise, keeps its outcome and releases it.
inline Outcome settle(kv::IPromisePtr promise)
{
    Outcome outcome;
    if (promise == nullptr)
        return outcome;
    outcome.status = promise->wait();
    outcome.code = promise->getAPIStatusCode();
    char buffer[512] = {};
    size_t length = sizeof(buffer);
    promise->getLastError(buffer, length);
    outcome.error.assign(buffer, length);
    promise->release();
    return outcome;
}

} // namespace promisetest
