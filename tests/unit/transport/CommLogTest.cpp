// The request and response lines a transport writes around an exchange.

#include "ScriptedComm.h"

#include "logging/Logger.h"
#include "transport/UsbEndpoint.h"
#include "unit/logging/LogFiles.h"

#include <gtest/gtest.h>

using namespace kv;
using namespace kvtest;
using namespace logtest;

namespace {

EndpointPtr netEndpoint()
{
    return std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
}

EndpointPtr usbEndpoint()
{
    return std::make_shared<UsbEndpoint>(0, 10, UsbEndpoint::noHandle(), "FT1234");
}

MessageContextPtr exchange(BodyType request, BodyType response, EndpointPtr endpoint)
{
    return std::make_shared<MessageContext>(std::make_shared<V1RequestMessage>(request, V1None),
                                            std::make_shared<V1ResponseMessage>(response, V1None), endpoint, Medium,
                                            nullptr, "Test::exchange");
}

} // namespace

TEST(CommLog, RequestAndResponseLines)
{
    const std::string net = " | Target Port: 6363 | Target IP: 127.0.0.2";
    const std::string netBack = " | Source Port: 6363 | Source IP: 127.0.0.2";
    struct Case {
        const char* name;
        unsigned short level;
        MessageContextPtr context;
        std::string file;
    };
    const Case cases[] = {
        {"network", 1, exchange(AbortExposure, AbortExposure, netEndpoint()),
         c_started + "<T> [INFO] Sending request: AbortExposure" + net + "\n" +
             "<T> [INFO] Receiving response: AbortExposure" + netBack + "\n" + c_ended},
        {"USB", 1, exchange(AbortExposure, AbortExposure, usbEndpoint()),
         c_started + "<T> [INFO] Sending request: AbortExposure | Expected Message Length: 10\n" +
             "<T> [INFO] Receiving response: AbortExposure | Expected Message Length: 10\n" + c_ended},
        {"with the message data", 2, exchange(AbortExposure, AbortExposure, netEndpoint()),
         c_started + "<T> [INFO] Sending request: AbortExposure" + net + "\n" +
             "<T> [DEBUG] AbortExposure No Data\n" + "<T> [INFO] Receiving response: AbortExposure" + netBack +
             "\n" + "<T> [DEBUG] AbortExposure No Data\n" + c_ended},
        {"error response", 1, exchange(AbortExposure, ErrorBodyType, netEndpoint()),
         c_started + "<T> [INFO] Sending request: AbortExposure" + net + "\n" +
             "<T> [INFO] Receiving response: ErrorBodyType" + netBack + "\n" +
             "<T> [ERROR] ErrorBodyType Request: AbortExposure Unknown Error\n" + c_ended},
        {"status poll below the most verbose level", 3, exchange(GetCameraStatus, AbortExposure, netEndpoint()),
         c_started + "<T> [INFO] Receiving response: AbortExposure" + netBack + "\n" +
             "<T> [DEBUG] AbortExposure No Data\n" + c_ended},
        {"status poll at the most verbose level", 4, exchange(GetCameraStatus, AbortExposure, netEndpoint()),
         c_started + "<T> [DEBUG VERBOSE+] Sending request: GetCameraStatus" + net + "\n" +
             "<T> [DEBUG VERBOSE+] GetCameraStatus No Data\n" + "<T> [INFO] Receiving response: AbortExposure" +
             netBack + "\n" + "<T> [DEBUG] AbortExposure No Data\n" + c_ended},
    };
    for (const auto& c : cases) {
        TempHome home;
        TestHandler handler;
        ScriptedComm comm(&handler);
        auto logger = startLog(home.logDir(), c.level);
        comm.setLogger(logger);
        comm.logRequest(c.context);
        comm.logResponse(c.context);
        EXPECT_EQ(finish(*logger), c.file) << c.name;
    }
}

TEST(CommLog, NothingWithoutALoggerOrAMessage)
{
    TempHome home;
    TestHandler handler;
    ScriptedComm comm(&handler);
    auto context = exchange(AbortExposure, AbortExposure, netEndpoint());
    comm.logRequest(context);
    comm.logResponse(context);

    auto logger = startLog(home.logDir(), 2);
    comm.setLogger(logger);
    comm.logRequest(nullptr);
    comm.logResponse(nullptr);
    comm.logRequest(std::make_shared<MessageContext>());
    comm.logResponse(std::make_shared<MessageContext>());
    EXPECT_EQ(finish(*logger), c_started + c_ended);
}
