#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gateway/types.h"

// A plain UDP socket on loopback that plays the library's side of an exchange.
class UdpClient {
public:
    struct Datagram {
        kv::IOBufferPtr bytes;
        std::string source; // "ip:port"
    };

    explicit UdpClient(const std::string& address = "127.0.0.1", uint16_t port = 0)
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0)
            throw std::runtime_error("socket");
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
        sockaddr_in where = make(address, port);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&where), sizeof(where)) != 0) {
            ::close(m_fd);
            throw std::runtime_error("bind");
        }
    }
    ~UdpClient() { ::close(m_fd); }
    UdpClient(const UdpClient&) = delete;
    UdpClient& operator=(const UdpClient&) = delete;

    void send(const kv::IOBufferPtr& frame, const std::string& address = "127.0.0.2", uint16_t port = 6363)
    {
        sockaddr_in to = make(address, port);
        ::sendto(m_fd, frame->data, frame->length, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    }

    // The next datagram, or nothing when none arrives within the time-out.
    std::optional<Datagram> receive(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(timeout.count())) <= 0)
            return std::nullopt;
        std::vector<char> buffer(65536);
        sockaddr_in from{};
        socklen_t length = sizeof(from);
        const ssize_t n =
            ::recvfrom(m_fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0)
            return std::nullopt;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof(text));
        return Datagram{kv::IOBuffer::newBuffer(buffer.data(), static_cast<size_t>(n)),
                        std::string(text) + ":" + std::to_string(ntohs(from.sin_port))};
    }

    // Sends the frame and returns the first answer.
    std::optional<Datagram> exchange(const kv::IOBufferPtr& frame, const std::string& address = "127.0.0.2",
                                     uint16_t port = 6363)
    {
        send(frame, address, port);
        return receive();
    }

private:
    static sockaddr_in make(const std::string& address, uint16_t port)
    {
        sockaddr_in result{};
        result.sin_family = AF_INET;
        result.sin_port = htons(port);
        inet_pton(AF_INET, address.c_str(), &result.sin_addr);
        return result;
    }

    int m_fd = -1;
};
