// The two exported functions of libkvapi.so.4.
#include <kvapi/kvapi.h>

#include "gateway/Gateway.h"

#include <cstddef>

namespace {

// The process's single gateway and the calls of getGateway not yet matched by
// deleteGateway. Not locked: applications do not call these concurrently.
kv::Gateway* pGateway = nullptr;
size_t gatewayCount = 0;

} // namespace

extern "C" KVAPI_EXPORT kv::IGateway* getGateway()
{
    if (pGateway == nullptr) {
        // A constructor that throws leaves nothing behind: the new-expression
        // frees the half-built gateway and the exception reaches the caller.
        pGateway = new kv::Gateway();
    }
    ++gatewayCount;
    return pGateway;
}

extern "C" KVAPI_EXPORT void deleteGateway(kv::IGateway* gateway)
{
    if (gateway == nullptr || pGateway == nullptr || gateway != static_cast<kv::IGateway*>(pGateway)) {
        return;
    }
    if (--gatewayCount == 0) {
        kv::Gateway* doomed = pGateway;
        pGateway = nullptr;
        delete doomed;
    }
}
