#pragma once
// The control channel on a local socket: any number of clients, one command per line, one
// answer line each. Nothing a client does can hold the bus: answers are sent without blocking,
// a client that does not read its answers is dropped once they pile up, and a failing accept
// rests the listener (sim/AcceptPause.h).

#include <functional>
#include <string>
#include <vector>

#include <poll.h>

#include "sim/AcceptPause.h"

class ControlSocket {
public:
    using Handler = std::function<std::string(const std::string& line)>;
    ~ControlSocket();
    // Returns an error text, empty on success.
    std::string open(const std::string& path, Handler handler);
    void close();
    void addPollFds(std::vector<pollfd>& fds) const;
    void service(const std::vector<pollfd>& fds);

private:
    struct Client {
        int fd;
        std::string pending;  // received, not yet a whole line
        std::string answers;  // not yet taken by the client
    };
    void accept();
    void readClient(Client& c);
    void sendAnswers(Client& c);
    void drop(Client& c);

    int listener_ = -1;
    AcceptPause acceptPause_;
    std::string path_;
    std::vector<Client> clients_;
    Handler handler_;
};

// The client side, for `qtvsim --tell`: sends one line, returns the answer line (without its
// newline); an error text in `error` when the socket cannot be reached or does not answer.
std::string TellControlSocket(const std::string& path, const std::string& line, std::string& error);
