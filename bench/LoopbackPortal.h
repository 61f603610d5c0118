#pragma once
// A tiny HTTP server on 127.0.0.1 inside a benchmark program: it stands in for
// the game's portal. It listens on a port the system picks, answers every
// request with a small page (never cached, connection closed) and notes, for
// each path, how many requests arrived and when the first request line of each
// arrived (bench::NowMs), so that the program can time a client's request from
// outside the client.

// Included before anything that brings in windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "BenchSupport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

class LoopbackPortal {
public:
    LoopbackPortal() = default;
    ~LoopbackPortal() { Stop(); }
    LoopbackPortal(const LoopbackPortal&) = delete;
    LoopbackPortal& operator=(const LoopbackPortal&) = delete;

    // Listens and starts serving: false when no port could be had.
    bool Start()
    {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return false;
        m_started = true;
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_listener == INVALID_SOCKET)
            return false;
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int length = sizeof(address);
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(m_listener, SOMAXCONN) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return false;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
        return true;
    }

    void Stop()
    {
        if (m_thread.joinable()) {
            m_stopping = true;
            // A connection of our own wakes the wait for the next one.
            SOCKET wake = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            sockaddr_in address = {};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(m_port);
            connect(wake, reinterpret_cast<sockaddr*>(&address), sizeof(address));
            m_thread.join();
            closesocket(wake);
        }
        if (m_listener != INVALID_SOCKET)
            closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        if (m_started)
            WSACleanup();
        m_started = false;
    }

    unsigned short Port() const { return m_port; }
    std::wstring Host() const { return L"127.0.0.1:" + std::to_wstring(m_port); }

    // Forgets what has arrived so far.
    void Reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_arrivals.clear();
        m_paths.clear();
    }

    // How many requests for the path have arrived (the query string included in the path).
    int Count(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_arrivals.find(path);
        return found == m_arrivals.end() ? 0 : static_cast<int>(found->second.size());
    }

    // Waits until more than `seen` requests for the path have arrived: the
    // arrival time of request number `seen` (counted from 0), or a negative
    // value when none came within the time.
    double WaitForRequest(const std::string& path, int seen, DWORD timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool arrived = m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            const auto found = m_arrivals.find(path);
            return found != m_arrivals.end() && static_cast<int>(found->second.size()) > seen;
        });
        return arrived ? m_arrivals[path][seen] : -1.0;
    }

    // Every request line's path, in the order they arrived.
    std::vector<std::string> Paths()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_paths;
    }

private:
    struct Connection {
        SOCKET socket;
        std::string received;
        bool noted = false;
    };

    void Serve()
    {
        std::vector<Connection> connections;
        while (!m_stopping) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(m_listener, &readable);
            for (const Connection& c : connections)
                FD_SET(c.socket, &readable);
            if (select(0, &readable, nullptr, nullptr, nullptr) <= 0)
                break;
            if (m_stopping)
                break;
            if (FD_ISSET(m_listener, &readable)) {
                SOCKET accepted = accept(m_listener, nullptr, nullptr);
                // select takes at most FD_SETSIZE sockets: one too many is refused.
                if (accepted != INVALID_SOCKET && connections.size() + 1 >= FD_SETSIZE)
                    closesocket(accepted);
                else if (accepted != INVALID_SOCKET)
                    connections.push_back({accepted, {}});
            }
            for (size_t i = 0; i < connections.size();) {
                Connection& c = connections[i];
                if (!FD_ISSET(c.socket, &readable) || Read(c)) {
                    ++i;
                    continue;
                }
                closesocket(c.socket);
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        for (const Connection& c : connections)
            closesocket(c.socket);
    }

    // Takes what the connection has sent: false once it is answered or gone.
    bool Read(Connection& c)
    {
        char buffer[4096];
        const int got = recv(c.socket, buffer, sizeof(buffer), 0);
        if (got <= 0)
            return false;
        const double now = NowMs();
        c.received.append(buffer, static_cast<size_t>(got));
        const size_t lineEnd = c.received.find("\r\n");
        if (!c.noted && lineEnd != std::string::npos) {
            c.noted = true;
            Note(c.received.substr(0, lineEnd), now);
        }
        if (c.received.find("\r\n\r\n") == std::string::npos)
            return c.received.size() < 65536;
        static const char kPage[] = "<html><head><title>portal</title></head><body>portal</body></html>";
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nCache-Control: no-store\r\n"
                                   "Content-Length: " +
                                   std::to_string(sizeof(kPage) - 1) + "\r\nConnection: close\r\n\r\n" + kPage;
        send(c.socket, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(c.socket, SD_SEND);
        return false;
    }

    // "GET /path HTTP/1.1": the path's arrival.
    void Note(const std::string& line, double when)
    {
        const size_t first = line.find(' ');
        const size_t second = first == std::string::npos ? std::string::npos : line.find(' ', first + 1);
        if (second == std::string::npos)
            return;
        const std::string path = line.substr(first + 1, second - first - 1);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_arrivals[path].push_back(when);
            m_paths.push_back(path);
        }
        m_arrived.notify_all();
    }

    bool m_started = false;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::map<std::string, std::vector<double>> m_arrivals;
    std::vector<std::string> m_paths;
};

} // namespace bench
