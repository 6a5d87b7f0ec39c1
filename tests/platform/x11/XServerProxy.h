// A display of the tests' own between a client and the X server: a TCP port that forwards every
// byte to the server's Unix socket and back, and that holds the server's answers back while a test
// asks it to. A client that waits for an answer then waits at a point the test knows (it has sent
// its request), for as long as the test likes, as behind a slow or far display. It can also delay
// every answer by a fixed time (a display that far away), and counts what the clients send.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace quova::xtest
{

class XServerProxy
{
public:
    // Listens on the first free display number from 50 (TCP port 6000 + n) of 127.0.0.1; the server
    // is the one DISPLAY names (a local display, ":n").
    XServerProxy()
    {
        const char* real = std::getenv("DISPLAY");
        const char* colon = real != nullptr ? std::strchr(real, ':') : nullptr;
        if (colon == nullptr) return;
        server_ = "/tmp/.X11-unix/X" + std::to_string(std::atoi(colon + 1));
        for (int n = 50; n < 100 && listener_ < 0; ++n)
        {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(6000 + n));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 8) == 0)
            {
                listener_ = fd;
                display_ = "127.0.0.1:" + std::to_string(n);
            }
            else
            {
                close(fd);
            }
        }
        if (listener_ >= 0) accepter_ = std::thread([this] { Accept(); });
    }
    ~XServerProxy()
    {
        stop_ = true;
        if (accepter_.joinable()) accepter_.join();
        for (std::thread& t : pumps_)
            t.join();
        if (listener_ >= 0) close(listener_);
    }
    XServerProxy(const XServerProxy&) = delete;
    XServerProxy& operator=(const XServerProxy&) = delete;

    // The DISPLAY value that reaches the server through the proxy; empty when it could not listen.
    const std::string& Display() const { return display_; }
    // While held, what the server sends waits in the proxy; a client that asked for an answer waits.
    void Hold(bool held)
    {
        if (held) sentWhileHeld_ = 0;
        held_ = held;
    }
    // Bytes the clients sent since the last Hold(true): a client that then waits for an answer has
    // sent its question.
    size_t SentWhileHeld() const { return sentWhileHeld_; }
    // Bytes the clients sent in all.
    size_t Sent() const { return sent_; }
    int Connections() const { return connections_; }
    // Each answer of the server reaches its client this much later (a round trip takes that long).
    void SetLatency(int ms) { latencyMs_ = ms; }

private:
    void Accept()
    {
        while (!stop_)
        {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            const int server = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, server_.c_str(), sizeof address.sun_path - 1);
            if (connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            {
                close(server);
                close(client);
                continue;
            }
            ++connections_;
            pumps_.emplace_back([this, client, server] { Pump(client, server); });
        }
    }
    // Forwards both ways until either side closes; the server's bytes only while not held.
    void Pump(int client, int server)
    {
        char buffer[65536];
        bool open = true;
        while (open && !stop_)
        {
            pollfd p[2] = {{client, POLLIN, 0}, {server, static_cast<short>(held_ ? 0 : POLLIN), 0}};
            if (poll(p, 2, 5) <= 0) continue;
            for (int side = 0; side < 2 && open; ++side)
            {
                if ((p[side].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
                const ssize_t n = read(p[side].fd, buffer, sizeof buffer);
                if (n > 0 && side == 1 && latencyMs_ > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_.load()));
                open = n > 0 && WriteAll(side == 0 ? server : client, buffer, static_cast<size_t>(n));
                if (open && side == 0)
                {
                    sentWhileHeld_ += static_cast<size_t>(n);
                    sent_ += static_cast<size_t>(n);
                }
            }
        }
        close(client);
        close(server);
    }
    static bool WriteAll(int fd, const char* data, size_t size)
    {
        while (size > 0)
        {
            const ssize_t n = write(fd, data, size);
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    std::string server_;
    std::string display_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<bool> held_{false};
    std::atomic<size_t> sentWhileHeld_{0};
    std::atomic<size_t> sent_{0};
    std::atomic<int> latencyMs_{0};
    std::atomic<int> connections_{0};
    std::thread accepter_;
    std::vector<std::thread> pumps_; // the accepting thread's alone until it is joined
};

} // namespace quova::xtest
