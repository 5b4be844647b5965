// The viewer server as the browser test meets it: the real server on a free
// loopback port under the token given as the only argument, fed a moving
// picture at about 15 frames a second.
//
// On stdout, one line each: "port N" once listening, "viewers N" whenever the
// server reports a new viewer count, "stopped" once a "stop" line on stdin has
// stopped the server, "started" once a "start" line has started it again on
// the same port and token. End of stdin ends the program.

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include "platform/sim/generated_picture.h"
#include "server/mjpeg_server.h"
#include "virtual/jpeg_encoder.h"

namespace {

constexpr int kPictureWidth = 960;
constexpr int kPictureHeight = 540;
constexpr auto kFrameInterval = std::chrono::milliseconds(66);
constexpr double kQuality = 0.75;

std::mutex outputMutex;

// Lines come from the server's thread as well as the main one.
void say(const std::string& line) {
    std::lock_guard lock(outputMutex);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

bool serve(kd::MJPEGServer& server, std::uint16_t port, const std::string& token) {
    if (const auto error = server.start(port, token)) {
        std::fprintf(stderr, "cannot listen: %s\n", error.message().c_str());
        return false;
    }
    return true;
}

// Reads what stdin holds; false at its end, or when the server cannot listen
// again.
bool readCommands(std::string& pending, kd::MJPEGServer& server, const std::string& token) {
    char chunk[256];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) return false;
    pending.append(chunk, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string command = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (command == "stop") {
            server.stop();
            say("stopped");
        } else if (command == "start") {
            if (!serve(server, server.port(), token)) return false;
            say("started");
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TOKEN\n", argv[0]);
        return 2;
    }
    const std::string token = argv[1];
    kd::MJPEGServer server;
    server.setOnClientChange([](int count) { say("viewers " + std::to_string(count)); });
    if (!serve(server, 0, token)) return 1;
    say("port " + std::to_string(server.port()));

    kd::GeneratedPicture picture(kPictureWidth, kPictureHeight);
    kd::JpegEncoder encoder;
    std::string pending;
    auto nextFrame = std::chrono::steady_clock::now();
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextFrame) {
            picture.advance();
            if (auto jpeg = encoder.encode(picture.pixels(), picture.width(), picture.height(),
                                           picture.stride(), kQuality)) {
                server.send(std::move(jpeg));
            }
            nextFrame = now + kFrameInterval;
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextFrame - now).count();
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, static_cast<int>(wait)) > 0 &&
            !readCommands(pending, server, token)) {
            break;
        }
    }
    server.stop();
    return 0;
}
