#pragma once

// Tests that broadcast on every interface run only inside a private network
// namespace, where loopback is the only network. The test re-executes itself,
// filtered to itself, in a child that made such a namespace; where none can be
// made the test skips.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kvtest {

constexpr const char* c_privateNetworkVariable = "KVAPI_TEST_PRIVATE_NETWORK";
constexpr int c_noPrivateNetwork = 77;

inline bool inPrivateNetwork()
{
    return std::getenv(c_privateNetworkVariable) != nullptr;
}

namespace detail {

// System calls only: this runs between fork and exec.
inline bool configureLoopback(const char* extraAddress)
{
    const int sock = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (sock < 0) {
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(sock, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ok = ok && ::ioctl(sock, SIOCSIFFLAGS, &request) == 0;
    if (ok && extraAddress != nullptr) {
        // A second address on loopback stands for a second interface.
        ifreq alias{};
        std::strncpy(alias.ifr_name, "lo:1", IFNAMSIZ - 1);
        auto* address = reinterpret_cast<sockaddr_in*>(&alias.ifr_addr);
        address->sin_family = AF_INET;
        ok = ::inet_pton(AF_INET, extraAddress, &address->sin_addr) == 1 && ::ioctl(sock, SIOCSIFADDR, &alias) == 0;
    }
    ::close(sock);
    return ok;
}

} // namespace detail

// Runs the current test in a private network namespace. `extraAddress`, when
// given, is added to loopback there as a second interface.
inline void runInPrivateNetwork(const char* extraAddress = nullptr)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    const std::string self = "/proc/self/exe";
    // Everything the child needs is made before the fork: between fork and
    // exec only system calls are safe.
    const std::string marker = std::string(c_privateNetworkVariable) + "=1";
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.push_back(*entry);
    }
    environment.push_back(const_cast<char*>(marker.c_str()));
    environment.push_back(nullptr);
    char* const arguments[] = {const_cast<char*>(self.c_str()), const_cast<char*>(filter.c_str()), nullptr};

    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << "fork failed";
    if (child == 0) {
        if (::unshare(CLONE_NEWNET) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            ::_exit(c_noPrivateNetwork);
        }
        if (!detail::configureLoopback(extraAddress)) {
            ::_exit(c_noPrivateNetwork);
        }
        ::execve(self.c_str(), arguments, environment.data());
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the test died inside the private network";
    if (WEXITSTATUS(status) == c_noPrivateNetwork) {
        GTEST_SKIP() << "no private network namespace can be made here (needs root or unprivileged user "
                        "namespaces); this test broadcasts on every interface and runs only inside one";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the test failed inside the private network (its output is above)";
}

} // namespace kvtest
