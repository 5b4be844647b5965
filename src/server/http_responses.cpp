#include "server/http_responses.h"

namespace kd {

std::string answerHead(std::string_view status, std::string_view contentType,
                       std::size_t bodyLength, bool keepAlive) {
    std::string head = "HTTP/1.1 ";
    head.append(status)
        .append("\r\nContent-Type: ")
        .append(contentType)
        .append("\r\nContent-Length: ")
        .append(std::to_string(bodyLength))
        .append("\r\nCache-Control: no-store\r\nConnection: ")
        .append(keepAlive ? "keep-alive" : "close")
        .append("\r\n\r\n");
    return head;
}

std::string streamHead() {
    std::string head = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=";
    head.append(kStreamBoundary).append("\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n");
    return head;
}

std::string streamPartHead(std::size_t jpegLength) {
    std::string head = "--";
    head.append(kStreamBoundary)
        .append("\r\nContent-Type: image/jpeg\r\nContent-Length: ")
        .append(std::to_string(jpegLength))
        .append("\r\n\r\n");
    return head;
}

}  // namespace kd
