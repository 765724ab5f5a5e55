// Asynchronous I/O control of a camera: when on, exchanges run on the
// transport's worker thread instead of the calling thread.
#ifndef KVAPI_KVAPI_ASYNC_H
#define KVAPI_KVAPI_ASYNC_H

#include <kvapi/kvapi.h>

namespace kv {

class KVAPI_EXPORT IAsyncIOHandler {
public:
    virtual bool isAsync() = 0;
    virtual void setAsync(bool async) = 0;

protected:
    ~IAsyncIOHandler() = default;
};

}  // namespace kv

#endif  // KVAPI_KVAPI_ASYNC_H
